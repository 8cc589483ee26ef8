// Far end on a POSIX system: a pseudo-terminal pair opened by the test itself.
#include "tests/serial/far_end.h"

#include "serial/port_names.h"
#include "tests/serial/pty_line.h"
#include "tests/serial/temp_folder.h"

#include <memory>
#include <stdexcept>

namespace lirat_test {

namespace {

class PtyFarEnd : public FarEnd {
public:
    ~PtyFarEnd() override {
        if (mappings_)
            serial::SetPortMappingFolder({});
    }
    std::string PortName() const override { return line_->DevicePath(); }
    void Send(const std::string& bytes) override { line_->Send(bytes); }
    std::string Receive(std::size_t max, int timeoutMs) override {
        return line_->Receive(max, timeoutMs);
    }
    DeviceLine Line() override { return line_->Line(); }
    void CloseFarSide() override { line_->CloseMaster(); }
    std::string StableName() override {
        if (!mappings_) {
            mappings_ = std::make_unique<serial::testing::TempFolder>();
            serial::SetPortMappingFolder(mappings_->Path().string());
            Map();
        }
        return kName;
    }
    void Replug() override {
        line_ = std::make_unique<PtyLine>(); // the old pair closes: its device hangs up
        if (mappings_)
            Map();
    }

private:
    static constexpr const char* kName = "COM9";
    void Map() {
        if (serial::RegisterPortName(kName, line_->DevicePath()) != 0)
            throw std::runtime_error("cannot map COM9 to the pseudo-terminal");
    }

    std::unique_ptr<PtyLine> line_ = std::make_unique<PtyLine>();
    std::unique_ptr<serial::testing::TempFolder> mappings_;
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
