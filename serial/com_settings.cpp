#include "serial/com_settings.h"

#include "serial/com_port.h"

namespace serial {

namespace {

template <typename T> bool Store(T& field, T value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

// ---- TComParity ----

void TComParity::Changed() {
    if (port_)
        port_->ApplyDCB();
}

void TComParity::SetBits(TParityBits value) {
    if (Store(bits_, value))
        Changed();
}

void TComParity::SetCheck(bool value) {
    if (Store(check_, value))
        Changed();
}

void TComParity::SetReplace(bool value) {
    if (Store(replace_, value))
        Changed();
}

void TComParity::SetReplaceChar(char value) {
    if (Store(replaceChar_, value))
        Changed();
}

void TComParity::AssignTo(TComParity& other) const {
    other.bits_ = bits_;
    other.check_ = check_;
    other.replace_ = replace_;
    other.replaceChar_ = replaceChar_;
}

// ---- TComFlowControl ----

void TComFlowControl::Changed() {
    if (port_)
        port_->ApplyDCB();
}

TFlowControl TComFlowControl::FlowControl() const {
    if (controlRTS_ == rtsHandshake && outCTSFlow_ && !xonXoffIn_ && !xonXoffOut_)
        return fcHardware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffIn_ && xonXoffOut_)
        return fcSoftware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && !xonXoffIn_ && !xonXoffOut_)
        return fcNone;
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value) {
    if (value != fcCustom) {
        controlRTS_ = rtsDisable;
        outCTSFlow_ = false;
        xonXoffIn_ = false;
        xonXoffOut_ = false;
        if (value == fcHardware) {
            controlRTS_ = rtsHandshake;
            outCTSFlow_ = true;
        } else if (value == fcSoftware) {
            xonXoffIn_ = true;
            xonXoffOut_ = true;
        }
    }
    Changed();
}

void TComFlowControl::SetOutCTSFlow(bool value) {
    if (Store(outCTSFlow_, value))
        Changed();
}

void TComFlowControl::SetOutDSRFlow(bool value) {
    if (Store(outDSRFlow_, value))
        Changed();
}

void TComFlowControl::SetControlDTR(TDTRFlowControl value) {
    if (Store(controlDTR_, value))
        Changed();
}

void TComFlowControl::SetControlRTS(TRTSFlowControl value) {
    if (Store(controlRTS_, value))
        Changed();
}

void TComFlowControl::SetXonXoffOut(bool value) {
    if (Store(xonXoffOut_, value))
        Changed();
}

void TComFlowControl::SetXonXoffIn(bool value) {
    if (Store(xonXoffIn_, value))
        Changed();
}

void TComFlowControl::SetDSRSensitivity(bool value) {
    if (Store(dsrSensitivity_, value))
        Changed();
}

void TComFlowControl::SetTxContinueOnXoff(bool value) {
    if (Store(txContinueOnXoff_, value))
        Changed();
}

void TComFlowControl::SetXonChar(char value) {
    if (Store(xonChar_, value))
        Changed();
}

void TComFlowControl::SetXoffChar(char value) {
    if (Store(xoffChar_, value))
        Changed();
}

void TComFlowControl::AssignTo(TComFlowControl& other) const {
    other.outCTSFlow_ = outCTSFlow_;
    other.outDSRFlow_ = outDSRFlow_;
    other.controlDTR_ = controlDTR_;
    other.controlRTS_ = controlRTS_;
    other.xonXoffOut_ = xonXoffOut_;
    other.xonXoffIn_ = xonXoffIn_;
    other.dsrSensitivity_ = dsrSensitivity_;
    other.txContinueOnXoff_ = txContinueOnXoff_;
    other.xonChar_ = xonChar_;
    other.xoffChar_ = xoffChar_;
}

// ---- TComTimeouts ----

void TComTimeouts::Set(int& field, int value) {
    if (Store(field, value) && port_)
        port_->ApplyTimeouts();
}

void TComTimeouts::SetReadInterval(int value) {
    Set(readInterval_, value);
}
void TComTimeouts::SetReadTotalMultiplier(int value) {
    Set(readTotalMultiplier_, value);
}
void TComTimeouts::SetReadTotalConstant(int value) {
    Set(readTotalConstant_, value);
}
void TComTimeouts::SetWriteTotalMultiplier(int value) {
    Set(writeTotalMultiplier_, value);
}
void TComTimeouts::SetWriteTotalConstant(int value) {
    Set(writeTotalConstant_, value);
}

void TComTimeouts::AssignTo(TComTimeouts& other) const {
    other.readInterval_ = readInterval_;
    other.readTotalMultiplier_ = readTotalMultiplier_;
    other.readTotalConstant_ = readTotalConstant_;
    other.writeTotalMultiplier_ = writeTotalMultiplier_;
    other.writeTotalConstant_ = writeTotalConstant_;
}

// ---- TComBuffer ----

void TComBuffer::Set(int& field, int value) {
    // Only positive odd sizes are rounded down; a negative odd value is kept as given.
    if (value > 0 && value % 2 != 0)
        --value;
    if (Store(field, value) && port_)
        port_->ApplyBuffer();
}

void TComBuffer::SetInputSize(int value) {
    Set(inputSize_, value);
}
void TComBuffer::SetOutputSize(int value) {
    Set(outputSize_, value);
}

void TComBuffer::AssignTo(TComBuffer& other) const {
    other.inputSize_ = inputSize_;
    other.outputSize_ = outputSize_;
}

} // namespace serial
