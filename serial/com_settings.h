// The four settings objects a port holds: parity, flow control, time-outs and queue sizes.
// A setter ignores a value equal to the current one; otherwise it stores the value and asks the
// port (when one is attached) to apply its group, which the port does only when it can.
#pragma once

#include "serial/com_types.h"

namespace serial {

class TComParity {
public:
    TParityBits Bits() const { return bits_; }
    bool Check() const { return check_; }
    bool Replace() const { return replace_; }
    char ReplaceChar() const { return replaceChar_; }

    void SetBits(TParityBits value);
    void SetCheck(bool value);
    void SetReplace(bool value);
    void SetReplaceChar(char value);

    // Copies every stored field into other, applying nothing.
    void AssignTo(TComParity& other) const;
    void SetComPort(TCustomComPort* port) { port_ = port; }
    TCustomComPort* ComPort() const { return port_; }

private:
    void Changed();

    TCustomComPort* port_ = nullptr;
    TParityBits bits_ = prNone;
    bool check_ = false;
    bool replace_ = false;
    char replaceChar_ = 0;
};

class TComFlowControl {
public:
    // Summary of ControlRTS, OutCTSFlow, XonXoffIn and XonXoffOut.
    TFlowControl FlowControl() const;
    bool OutCTSFlow() const { return outCTSFlow_; }
    bool OutDSRFlow() const { return outDSRFlow_; }
    TDTRFlowControl ControlDTR() const { return controlDTR_; }
    TRTSFlowControl ControlRTS() const { return controlRTS_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DSRSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    char XonChar() const { return xonChar_; }
    char XoffChar() const { return xoffChar_; }

    // Sets the four summarised fields at once (fcCustom leaves them) and applies once.
    void SetFlowControl(TFlowControl value);
    void SetOutCTSFlow(bool value);
    void SetOutDSRFlow(bool value);
    void SetControlDTR(TDTRFlowControl value);
    void SetControlRTS(TRTSFlowControl value);
    void SetXonXoffOut(bool value);
    void SetXonXoffIn(bool value);
    void SetDSRSensitivity(bool value);
    void SetTxContinueOnXoff(bool value);
    void SetXonChar(char value);
    void SetXoffChar(char value);

    void AssignTo(TComFlowControl& other) const;
    void SetComPort(TCustomComPort* port) { port_ = port; }
    TCustomComPort* ComPort() const { return port_; }

private:
    void Changed();

    TCustomComPort* port_ = nullptr;
    bool outCTSFlow_ = false;
    bool outDSRFlow_ = false;
    TDTRFlowControl controlDTR_ = dtrDisable;
    TRTSFlowControl controlRTS_ = rtsDisable;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
    char xonChar_ = 17;
    char xoffChar_ = 19;
};

// Milliseconds; -1 stands for the platform's maximum value.
class TComTimeouts {
public:
    int ReadInterval() const { return readInterval_; }
    int ReadTotalMultiplier() const { return readTotalMultiplier_; }
    int ReadTotalConstant() const { return readTotalConstant_; }
    int WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    int WriteTotalConstant() const { return writeTotalConstant_; }

    void SetReadInterval(int value);
    void SetReadTotalMultiplier(int value);
    void SetReadTotalConstant(int value);
    void SetWriteTotalMultiplier(int value);
    void SetWriteTotalConstant(int value);

    void AssignTo(TComTimeouts& other) const;
    void SetComPort(TCustomComPort* port) { port_ = port; }
    TCustomComPort* ComPort() const { return port_; }

private:
    void Set(int& field, int value);

    TCustomComPort* port_ = nullptr;
    int readInterval_ = -1;
    int readTotalMultiplier_ = 0;
    int readTotalConstant_ = 0;
    int writeTotalMultiplier_ = 100;
    int writeTotalConstant_ = 1000;
};

// Driver queue sizes in bytes; positive odd sizes are stored one less, so they stay even.
class TComBuffer {
public:
    int InputSize() const { return inputSize_; }
    int OutputSize() const { return outputSize_; }

    void SetInputSize(int value);
    void SetOutputSize(int value);

    void AssignTo(TComBuffer& other) const;
    void SetComPort(TCustomComPort* port) { port_ = port; }
    TCustomComPort* ComPort() const { return port_; }

private:
    void Set(int& field, int value);

    TCustomComPort* port_ = nullptr;
    int inputSize_ = 1024;
    int outputSize_ = 1024;
};

} // namespace serial
