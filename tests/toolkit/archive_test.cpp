// The archive's encodings, byte for byte, and its refusal of malformed input.
#include "test_files.h"
#include "toolkit/archive.h"
#include "toolkit/exceptions.h"
#include "toolkit/extension_module.h"
#include "toolkit/file.h"
#include "toolkit/object.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace testing_support;

namespace {

class CTestItem : public CObject {
    DECLARE_SERIAL(CTestItem)
public:
    void Serialize(CArchive& archive) override {
        if (archive.IsStoring()) {
            archive << m_value;
        } else {
            archive >> m_value;
        }
    }
    int32_t m_value = 0;
};
IMPLEMENT_SERIAL(CTestItem, CObject, 1)

// Serializes nothing, so that many objects make a small file.
class CEmptyItem : public CObject {
    DECLARE_SERIAL(CEmptyItem)
};
IMPLEMENT_SERIAL(CEmptyItem, CObject, 1)

class CUnregistered : public CObject {
    DECLARE_SERIAL(CUnregistered)
};
IMPLEMENT_SERIAL(CUnregistered, CObject, 1)

class ArchiveTest : public ::testing::Test {
protected:
    ArchiveTest() {
        int anchor = 0;
        AfxInitExtensionModule(module_, &anchor);
        module_.m_classes = {RUNTIME_CLASS(CTestItem), RUNTIME_CLASS(CEmptyItem)};
        link_ = std::make_unique<CDynLinkLibrary>(module_);
    }
    ~ArchiveTest() override {
        AfxTermExtensionModule(module_);
        link_.reset();
    }

    Bytes Store(const std::function<void(CArchive&)>& write) {
        const std::string path = folder_.File("store");
        CFile file;
        EXPECT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite));
        CArchive archive(&file, CArchive::store);
        write(archive);
        archive.Close();
        file.Close();
        return ReadBytes(path);
    }

    void Load(const Bytes& bytes, const std::function<void(CArchive&)>& read) {
        const std::string path = folder_.File("load");
        WriteBytes(path, bytes);
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeRead | CFile::shareDenyNone));
        CArchive archive(&file, CArchive::load);
        read(archive);
    }

    CArchiveException::Cause LoadFailure(const Bytes& bytes,
                                         const std::function<void(CArchive&)>& read) {
        try {
            Load(bytes, read);
        } catch (const CArchiveException& failure) {
            return failure.m_cause;
        }
        ADD_FAILURE() << "the load did not fail";
        return CArchiveException::genericException;
    }

    TempFolder folder_;
    CExtensionModule module_;
    std::unique_ptr<CDynLinkLibrary> link_;
};

Bytes ClassRecord(const std::string& name, uint16_t schema = 1) {
    Bytes bytes;
    AppendU16(bytes, 0xFFFF);
    AppendU16(bytes, schema);
    AppendU16(bytes, static_cast<uint16_t>(name.size()));
    Append(bytes, name);
    return bytes;
}

} // namespace

TEST_F(ArchiveTest, NumbersAreLittleEndian) {
    const Bytes bytes = Store([](CArchive& ar) {
        ar << static_cast<uint8_t>(0x12) << static_cast<uint16_t>(0x3456)
           << static_cast<int32_t>(-2) << static_cast<uint32_t>(0x89ABCDEF);
    });
    EXPECT_EQ(Hex(bytes), "12 56 34 FE FF FF FF EF CD AB 89 ");
}

TEST_F(ArchiveTest, CountsUseTheWideFormFromFFFF) {
    const Bytes bytes = Store([](CArchive& ar) {
        ar.WriteCount(0);
        ar.WriteCount(0xFFFE);
        ar.WriteCount(0xFFFF);
        ar.WriteCount(0x12345);
    });
    EXPECT_EQ(Hex(bytes), "00 00 FE FF FF FF FF FF 00 00 FF FF 45 23 01 00 ");
}

TEST_F(ArchiveTest, TextLengthPrefixesAtEveryBoundary) {
    struct Case {
        size_t length;
        std::string prefix;
    };
    const Case cases[] = {{0, "00 "},
                          {254, "FE "},
                          {255, "FF FF 00 "},
                          {0xFFFD, "FF FD FF "},
                          {0xFFFE, "FF FF FF FE FF 00 00 "},
                          {0x10000, "FF FF FF 00 00 01 00 "}};
    for (const Case& c : cases) {
        const std::string text(c.length, 'x');
        const Bytes bytes = Store([&](CArchive& ar) { ar << text; });
        const size_t prefixLength = bytes.size() - c.length;
        EXPECT_EQ(Hex(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(prefixLength))),
                  c.prefix)
            << "length " << c.length;
        std::string back;
        Load(bytes, [&](CArchive& ar) { ar >> back; });
        EXPECT_EQ(back, text) << "length " << c.length;
    }
}

TEST_F(ArchiveTest, LongContentCrossesTheBufferBoundaries) {
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        texts.push_back(
            std::string(static_cast<size_t>(i * 7 % 600), static_cast<char>('a' + i % 26)));
    }
    const Bytes bytes = Store([&](CArchive& ar) {
        for (const auto& text : texts) {
            ar << text << static_cast<uint32_t>(text.size());
        }
    });
    ASSERT_GT(bytes.size(), 3 * CArchive::kDefaultBufferSize);
    Load(bytes, [&](CArchive& ar) {
        for (const auto& text : texts) {
            std::string back;
            uint32_t size = 0;
            ar >> back >> size;
            EXPECT_EQ(back, text);
            EXPECT_EQ(size, text.size());
        }
        EXPECT_EQ(ar.BytesLeft(), 0u);
    });
}

TEST_F(ArchiveTest, ObjectsShareOneNumberingWithTheirClassRecord) {
    CTestItem first;
    first.m_value = 7;
    CTestItem second;
    second.m_value = 8;
    const Bytes bytes = Store([&](CArchive& ar) {
        ar.WriteObject(&first);  // class record 1, object 2
        ar.WriteObject(&second); // object 3, class by reference
        ar.WriteObject(nullptr);
        ar.WriteObject(&first); // a second reference to object 2
    });
    Bytes expected = ClassRecord("CTestItem");
    AppendU32(expected, 7);
    AppendU16(expected, 0x8001);
    AppendU32(expected, 8);
    AppendU16(expected, 0x0000);
    AppendU16(expected, 0x0002);
    EXPECT_EQ(Hex(bytes), Hex(expected));

    Load(bytes, [](CArchive& ar) {
        std::unique_ptr<CObject> a(ar.ReadObject(RUNTIME_CLASS(CTestItem)));
        std::unique_ptr<CObject> b(ar.ReadObject(RUNTIME_CLASS(CTestItem)));
        EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(CTestItem)), nullptr);
        EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(CTestItem)), a.get());
        EXPECT_EQ(static_cast<CTestItem*>(a.get())->m_value, 7);
        EXPECT_EQ(static_cast<CTestItem*>(b.get())->m_value, 8);
    });
}

TEST_F(ArchiveTest, ClassesAreFoundByNameOnTheChain) {
    CTestItem item;
    item.m_value = 42;
    const Bytes bytes = Store([&](CArchive& ar) { ar.WriteObject(&item); });
    Load(bytes, [](CArchive& ar) {
        std::unique_ptr<CObject> back(ar.ReadObject(RUNTIME_CLASS(CObject)));
        ASSERT_NE(back, nullptr);
        EXPECT_TRUE(back->IsKindOf(RUNTIME_CLASS(CTestItem)));
    });
    // Off the chain the name means nothing.
    AfxTermExtensionModule(module_);
    EXPECT_EQ(LoadFailure(bytes, [](CArchive& ar) { ar.ReadObject(RUNTIME_CLASS(CObject)); }),
              CArchiveException::badClass);
}

TEST_F(ArchiveTest, BigClassAndObjectNumbersUseTheLongTag) {
    std::vector<CEmptyItem> many(0x7FFF); // class 1, objects 2 .. 0x8000
    CTestItem late;                       // class 0x8001, object 0x8002
    CTestItem later;                      // object 0x8003
    const Bytes bytes = Store([&](CArchive& ar) {
        for (const auto& item : many) {
            ar.WriteObject(&item);
        }
        ar.WriteObject(&late);
        ar.WriteObject(&later);
        ar.WriteObject(&many.back()); // object 0x8000 again
    });
    // The last 16 bytes: "later" by its class number 0x8001 in the long form, its value,
    // then object 0x8000 again in the long form.
    Bytes expected;
    AppendU16(expected, 0x7FFF);
    AppendU32(expected, 0x80000000u | 0x8001);
    AppendU32(expected, 0);
    AppendU16(expected, 0x7FFF);
    AppendU32(expected, 0x8000);
    EXPECT_EQ(Hex(Bytes(bytes.end() - 16, bytes.end())), Hex(expected));

    Load(bytes, [&](CArchive& ar) {
        std::vector<std::unique_ptr<CObject>> read;
        for (size_t i = 0; i < many.size() + 2; ++i) {
            read.emplace_back(ar.ReadObject(RUNTIME_CLASS(CObject)));
        }
        EXPECT_TRUE(read.back()->IsKindOf(RUNTIME_CLASS(CTestItem)));
        EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(CObject)), read[many.size() - 1].get());
    });
}

TEST_F(ArchiveTest, ReadNewObjectRefusesNullAndBackReferences) {
    CTestItem item;
    const Bytes bytes = Store([&](CArchive& ar) {
        ar.WriteObject(&item);
        ar.WriteObject(&item);
        ar.WriteObject(nullptr);
    });
    Load(bytes, [](CArchive& ar) {
        std::unique_ptr<CObject> first(ar.ReadNewObject(RUNTIME_CLASS(CTestItem)));
        EXPECT_THROW(ar.ReadNewObject(RUNTIME_CLASS(CTestItem)), CArchiveException);
    });
    Bytes nullOnly;
    AppendU16(nullOnly, 0);
    EXPECT_EQ(LoadFailure(nullOnly, [](CArchive& ar) { ar.ReadNewObject(nullptr); }),
              CArchiveException::badIndex);
}

TEST_F(ArchiveTest, MalformedClassRecordsAreRefused) {
    auto readOne = [](CArchive& ar) {
        std::unique_ptr<CObject> object(ar.ReadObject(RUNTIME_CLASS(CTestItem)));
    };
    Bytes wrongSchema = ClassRecord("CTestItem", 2);
    AppendU32(wrongSchema, 0);
    EXPECT_EQ(LoadFailure(wrongSchema, readOne), CArchiveException::badSchema);

    Bytes unknown = ClassRecord("CNoSuchThing");
    AppendU32(unknown, 0);
    EXPECT_EQ(LoadFailure(unknown, readOne), CArchiveException::badClass);

    Bytes unrelated = ClassRecord("CEmptyItem"); // known, but not what was asked for
    EXPECT_EQ(LoadFailure(unrelated, readOne), CArchiveException::badClass);

    Bytes notOnChain = ClassRecord("CUnregistered");
    EXPECT_EQ(LoadFailure(notOnChain, readOne), CArchiveException::badClass);

    Bytes emptyName = ClassRecord("");
    EXPECT_EQ(LoadFailure(emptyName, readOne), CArchiveException::badClass);

    Bytes longName = ClassRecord(std::string(64, 'C'));
    EXPECT_EQ(LoadFailure(longName, readOne), CArchiveException::badClass);
}

TEST_F(ArchiveTest, ReferencesMustNameWhatWasRead) {
    auto readOne = [](CArchive& ar) {
        std::unique_ptr<CObject> object(ar.ReadObject(RUNTIME_CLASS(CTestItem)));
    };
    Bytes classBeforeAny;
    AppendU16(classBeforeAny, 0x8001);
    EXPECT_EQ(LoadFailure(classBeforeAny, readOne), CArchiveException::badIndex);

    Bytes objectBeforeAny;
    AppendU16(objectBeforeAny, 0x0005);
    EXPECT_EQ(LoadFailure(objectBeforeAny, readOne), CArchiveException::badIndex);

    // Number 1 is a class record, not an object; number 2 is an object, not a class.
    Bytes classAsObject = ClassRecord("CTestItem");
    AppendU32(classAsObject, 1);
    AppendU16(classAsObject, 0x0001);
    Load(classAsObject, [&](CArchive& ar) {
        std::unique_ptr<CObject> first(ar.ReadObject(RUNTIME_CLASS(CTestItem)));
        EXPECT_THROW(ar.ReadObject(RUNTIME_CLASS(CTestItem)), CArchiveException);
    });
    Bytes objectAsClass = ClassRecord("CTestItem");
    AppendU32(objectAsClass, 1);
    AppendU16(objectAsClass, 0x8002);
    Load(objectAsClass, [&](CArchive& ar) {
        std::unique_ptr<CObject> first(ar.ReadObject(RUNTIME_CLASS(CTestItem)));
        EXPECT_THROW(ar.ReadObject(RUNTIME_CLASS(CTestItem)), CArchiveException);
    });
    Bytes bigNumber;
    AppendU16(bigNumber, 0x7FFF);
    AppendU32(bigNumber, 0x80000000u | 0x7FFFFFFFu);
    EXPECT_EQ(LoadFailure(bigNumber, readOne), CArchiveException::badIndex);
}

TEST_F(ArchiveTest, LyingLengthsFailBeforeAnythingIsAllocated) {
    Bytes hugeText = {0xFF, 0xFF, 0xFF};
    AppendU32(hugeText, 0xFFFFFFF0u);
    Append(hugeText, "short");
    EXPECT_EQ(LoadFailure(hugeText,
                          [](CArchive& ar) {
                              std::string text;
                              ar >> text;
                          }),
              CArchiveException::endOfFile);

    Bytes wideText = {0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0};
    EXPECT_EQ(LoadFailure(wideText,
                          [](CArchive& ar) {
                              std::string text;
                              ar >> text;
                          }),
              CArchiveException::badLength);

    Bytes hugeCount = {0xFF, 0xFF};
    AppendU32(hugeCount, 0x7FFFFFFF);
    Append(hugeCount, {1, 2, 3});
    EXPECT_EQ(LoadFailure(hugeCount, [](CArchive& ar) { ar.ReadCount(); }),
              CArchiveException::endOfFile);

    Bytes cut = {0x34};
    EXPECT_EQ(LoadFailure(cut,
                          [](CArchive& ar) {
                              uint32_t value = 0;
                              ar >> value;
                          }),
              CArchiveException::endOfFile);
}
