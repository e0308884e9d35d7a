#include "host/vemor_sub.h"
#include "toolkit/archive.h"

#include <cstring>

CTagVal::CTagVal(double value) : m_value(value) {}
CTagVal::~CTagVal() = default;
double CTagVal::GetVal() const {
    return m_value;
}
void CTagVal::SetVal(double value) {
    m_value = value;
}

IMPLEMENT_SERIAL(CEventVal, CObject, 1)

CEventVal::CEventVal() = default;
CEventVal::~CEventVal() = default;

void CEventVal::Serialize(CArchive& archive) {
    uint8_t bytes[sizeof(double)];
    if (archive.IsStoring()) {
        const double value = m_value.GetVal();
        std::memcpy(bytes, &value, sizeof(bytes));
        archive << m_tagId;
        archive.Write(bytes, sizeof(bytes));
    } else {
        double value = 0;
        archive >> m_tagId;
        archive.Read(bytes, sizeof(bytes));
        std::memcpy(&value, bytes, sizeof(bytes));
        m_value.SetVal(value);
    }
}
