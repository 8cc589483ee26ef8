// Enumerations, small sets and callback types of the serial-port component.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace serial {

class TCustomComPort;

// Line settings.
enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };

// Events, signals, errors and links.
enum TComEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full
};
enum TComSignal { csCTS, csDSR, csRing, csRLSD };
enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
enum TSyncMethod { smThreadSync, smWindowSync, smNone };
enum TOperationKind { okWrite, okRead };
enum TComLinkEvent { leConn, leCTS, leDSR, leRLSD, leRing, leRx, leTx, leTxEmpty, leRxFlag };

// Settings persistence.
enum TStoreType { stRegistry, stIniFile };
enum TStoredProp { spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers };

// Priority of the event thread, in the order of the usual thread-priority scale.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The component's state flags that change how it reacts to property changes.
enum TComponentStateFlag { csLoading, csDesigning };

// A set of enumeration values, one bit per ordinal.
template <typename E, int N> class TSet {
    static_assert(N > 0 && N <= 32, "a set holds at most 32 values");

public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values)
            insert(v);
    }

    constexpr bool contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr void insert(E v) { bits_ |= Bit(v); }
    constexpr void erase(E v) { bits_ &= ~Bit(v); }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr void clear() { bits_ = 0; }
    constexpr std::uint32_t bits() const { return bits_; }
    static constexpr TSet FromBits(std::uint32_t bits) {
        TSet s;
        s.bits_ = bits & Mask();
        return s;
    }
    // Every value of the enumeration.
    static constexpr TSet All() { return FromBits(Mask()); }

    friend constexpr bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }

private:
    static constexpr std::uint32_t Bit(E v) {
        return (static_cast<int>(v) >= 0 && static_cast<int>(v) < N)
                   ? (std::uint32_t{1} << static_cast<int>(v))
                   : 0;
    }
    static constexpr std::uint32_t Mask() {
        return N == 32 ? ~std::uint32_t{0} : ((std::uint32_t{1} << N) - 1);
    }
    std::uint32_t bits_ = 0;
};

using TComEvents = TSet<TComEvent, 10>;
using TComSignals = TSet<TComSignal, 4>;
using TComErrors = TSet<TComError, 8>;
using TStoredProps = TSet<TStoredProp, 6>;
using TComponentState = TSet<TComponentStateFlag, 2>;

// Callbacks; an empty one does nothing when called through the port.
using TNotifyEvent = std::function<void(TCustomComPort& sender)>;
using TRxCharEvent = std::function<void(TCustomComPort& sender, int count)>;
using TRxBufEvent = std::function<void(TCustomComPort& sender, const void* buffer, int count)>;
using TComErrorEvent = std::function<void(TCustomComPort& sender, TComErrors errors)>;
using TComSignalEvent = std::function<void(TCustomComPort& sender, bool onOff)>;

} // namespace serial
