// The serial port on a pseudo-terminal: a COM port is the program's alone while it is open,
// and anybody's again once it is closed, also for users the kernel holds to the exclusive mark.
#include "platform/pseudo_terminal.h"
#include "platform/serial_port.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

class SerialPortRelease : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        line_ = platform::TerminalLine::CreatePseudoTerminal(error);
        ASSERT_TRUE(line_) << error;
        std::filesystem::create_symlink(line_->Path(), folder_.File("com3"));
        platform::SetSerialDeviceFolder(folder_.Path());
    }
    void TearDown() override { platform::SetSerialDeviceFolder(""); }

    // The errno of an open of the device by an ordinary user (0 when it opened), found in a
    // child process that gives up root first where the test runs as root.
    int OpenAsOrdinaryUser() {
        if (geteuid() == 0) {
            chmod(line_->Path().c_str(), 0666);
        }
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
                _exit(100);
            }
            const int fd = open(line_->Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            _exit(fd >= 0 ? 0 : (errno & 0x7f));
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
    }

    testing_support::TempFolder folder_;
    std::unique_ptr<platform::TerminalLine> line_;
};

TEST_F(SerialPortRelease, AClosedPortCanBeOpenedAgainByAnyone) {
    platform::SerialPort first;
    ASSERT_TRUE(first.Open("COM3"));
    platform::SerialPort second;
    EXPECT_FALSE(second.Open("COM3")) << "the port is the first program's while it is open";
    EXPECT_EQ(OpenAsOrdinaryUser(), EBUSY);

    first.Close();
    EXPECT_EQ(OpenAsOrdinaryUser(), 0) << "the exclusive mark outlived the port";
    ASSERT_TRUE(second.Open("COM3"));
    second.Close();
    const int fd = open(line_->Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    int exclusive = -1;
    ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    close(fd);
}

} // namespace
