// Far end on a POSIX system: a pseudo-terminal pair opened by the test itself.
#include "tests/serial/far_end.h"

#include "tests/serial/pty_line.h"

namespace lirat_test {

namespace {

class PtyFarEnd : public FarEnd {
public:
    std::string PortName() const override { return line_.DevicePath(); }
    void Send(const std::string& bytes) override { line_.Send(bytes); }
    std::string Receive(std::size_t max, int timeoutMs) override {
        return line_.Receive(max, timeoutMs);
    }
    DeviceLine Line() override { return line_.Line(); }
    void CloseFarSide() override { line_.CloseMaster(); }

private:
    PtyLine line_;
};

} // namespace

std::unique_ptr<FarEnd> MakeFarEnd(std::string&) {
    return std::make_unique<PtyFarEnd>();
}

std::string MissingPortName() {
    return "/dev/lirat5-no-such-device";
}

bool UnderWine() {
    return false;
}

} // namespace lirat_test
