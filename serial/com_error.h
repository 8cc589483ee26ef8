// The serial-port component's exception: a fixed code with a fixed English text, and the
// operating system's error number of the failed call where there is one.
#pragma once

#include <stdexcept>
#include <string>

namespace serial {

// Codes of EComPort, 1 to 23.
enum TComPortError {
    CError_OpenFailed = 1,
    CError_WriteFailed,
    CError_ReadFailed,
    CError_InvalidAsync,
    CError_PurgeFailed,
    CError_AsyncCheck,
    CError_SetStateFailed,
    CError_TimeoutsFailed,
    CError_SetupComFailed,
    CError_ClearComFailed,
    CError_ModemStatFailed,
    CError_EscapeComFailed,
    CError_TransmitFailed,
    CError_ConnChangeProp,
    CError_EnumPortsFailed,
    CError_StoreFailed,
    CError_LoadFailed,
    CError_RegFailed,
    CError_LedStateFailed,
    CError_ThreadCreated,
    CError_WaitFailed,
    CError_HasLink,
    CError_RegError
};

// The English text of a code; an empty text for a code outside 1 to 23.
const char* ComErrorText(int code);

class EComPort : public std::runtime_error {
public:
    explicit EComPort(int code);
    EComPort(int code, int osError);

    int Code() const { return code_; }
    // The operating system's error of the failed call, -1 when there is none.
    int WinErrorCode() const { return winErrorCode_; }

private:
    int code_;
    int winErrorCode_;
};

} // namespace serial
