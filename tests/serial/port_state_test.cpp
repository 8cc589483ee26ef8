// Port behaviour that needs no device: defaults, error texts, links, state flags and the
// checks that come before any device call.
#include "serial/app_exception.h"
#include "serial/com_port.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace serial;

// The texts a technician meets when the port fails, word for word; every code's message is
// its own, and a system error follows it in the one fixed form.
TEST(ComPortError, TextsAndOsErrorSuffix) {
    const std::pair<int, const char*> fixed[] = {
        {1, "Unable to open com port"},   {2, "WriteFile function failed"},
        {3, "ReadFile function failed"},  {10, "ClearCommError function failed"},
        {16, "Failed to store settings"}, {23, "Registry error"}};
    for (const auto& [code, text] : fixed)
        EXPECT_STREQ(EComPort(code).what(), text) << code;
    std::set<std::string> texts;
    for (int code = 1; code <= 23; ++code) {
        EComPort plain(code);
        EXPECT_EQ(plain.Code(), code);
        EXPECT_EQ(plain.WinErrorCode(), -1);
        EXPECT_TRUE(texts.insert(plain.what()).second) << "code " << code << ": " << plain.what();
        EComPort withOs(code, 1234);
        EXPECT_EQ(withOs.WinErrorCode(), 1234);
        EXPECT_EQ(std::string(withOs.what()),
                  std::string(plain.what()) + " (win error code: 1234)");
    }
    EXPECT_EQ(texts.count(""), 0u);
    EXPECT_STREQ(ComErrorText(0), "");
    EXPECT_STREQ(ComErrorText(24), "");
    EXPECT_STREQ(EComPort(1, -5).what(), "Unable to open com port (win error code: -5)");
}

TEST(ComPortDefaults, PropertiesStartAsDocumented) {
    TComPort port;
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_FALSE(port.DiscardNull());
    EXPECT_EQ(port.EventChar(), 0);
    EXPECT_EQ(port.Events(), TComEvents({evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS,
                                         evDSR, evError, evRLSD, evRx80Full}));
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    EXPECT_EQ(port.CustomBaudRate(), 9600);
    EXPECT_EQ(port.EventThreadPriority(), tpNormal);
    EXPECT_TRUE(port.TriggersOnRxChar());
    EXPECT_EQ(port.StoredProps(), TStoredProps({spBasic}));
    EXPECT_EQ(port.Name(), "");
    EXPECT_EQ(port.Parity().Bits(), prNone);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);
    EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
    EXPECT_EQ(port.Buffer().InputSize(), 1024);
    EXPECT_EQ(port.Buffer().OutputSize(), 1024);
    EXPECT_EQ(port.DeviceHandle(), nullptr);
    EXPECT_FALSE(port.WatchThreadRunning());
}

TEST(ComPortSets, OneBitPerOrdinal) {
    TComEvents events{evRxChar, evRx80Full};
    EXPECT_EQ(events.bits(), 0x201u);
    events.erase(evRxChar);
    EXPECT_FALSE(events.contains(evRxChar));
    EXPECT_TRUE(events.contains(evRx80Full));
    events.insert(evRx80Full);
    EXPECT_EQ(events.bits(), 0x200u);
    EXPECT_EQ(TComEvents::All().bits(), 0x3FFu);
    EXPECT_EQ(TComSignals::All().bits(), 0xFu);
    EXPECT_EQ(TComErrors::FromBits(0xFFFF).bits(), 0xFFu); // bits beyond the type are dropped
    EXPECT_TRUE(TComErrors().empty());
}

// Records which link callbacks ran, in order.
struct LinkLog {
    std::vector<std::string> calls;
    TComLink MakeLink(const std::string& tag) {
        TComLink link;
        auto signal = [this, tag](const char* what) {
            return [this, tag, what](TCustomComPort&, bool on) {
                calls.push_back(tag + what + (on ? "+" : "-"));
            };
        };
        auto notify = [this, tag](const char* what) {
            return [this, tag, what](TCustomComPort&) { calls.push_back(tag + what); };
        };
        link.LinkConn = signal("Conn");
        link.LinkCTS = signal("CTS");
        link.LinkDSR = signal("DSR");
        link.LinkRLSD = signal("RLSD");
        link.LinkRx = signal("Rx");
        link.LinkTx = signal("Tx");
        link.LinkRing = notify("Ring");
        link.LinkTxEmpty = notify("TxEmpty");
        link.LinkRxFlag = notify("RxFlag");
        link.LinkTxBuf = [this, tag](TCustomComPort&, const void* b, int n) {
            calls.push_back(tag + "TxBuf:" + std::string(static_cast<const char*>(b), n));
        };
        return link;
    }
};

TEST(ComPortLinks, RegistrationErrorsRaiseCode18) {
    TComPort port;
    TComLink a, b;
    port.RegisterLink(&a);
    try {
        port.RegisterLink(&a);
        FAIL() << "a link was registered twice";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), 18);
        EXPECT_STREQ(e.what(), "Link (un)registration failed");
    }
    EXPECT_THROW(port.UnRegisterLink(&b), EComPort);
    EXPECT_THROW(port.RegisterLink(nullptr), EComPort);
    port.UnRegisterLink(&a);
    EXPECT_TRUE(port.LinkList().empty());
    EXPECT_THROW(port.UnRegisterLink(&a), EComPort);
}

TEST(ComPortLinks, NotificationsVisitLinksInOrderAndMapEachEvent) {
    TComPort port;
    LinkLog log;
    TComLink first = log.MakeLink("1");
    TComLink second = log.MakeLink("2");
    TComLink empty; // no callbacks: skipped without harm
    port.RegisterLink(&first);
    port.RegisterLink(&empty);
    port.RegisterLink(&second);

    const TComLinkEvent signalEvents[] = {leConn, leCTS, leDSR, leRLSD, leRx, leTx};
    for (TComLinkEvent e : signalEvents)
        port.SendSignalToLink(e, true);
    port.SendSignalToLink(leRing, true); // not a signal event: nothing
    EXPECT_EQ(log.calls,
              (std::vector<std::string>{"1Conn+", "2Conn+", "1CTS+", "2CTS+", "1DSR+", "2DSR+",
                                        "1RLSD+", "2RLSD+", "1Rx+", "2Rx+", "1Tx+", "2Tx+"}));
    log.calls.clear();
    port.NotifyLink(leRing);
    port.NotifyLink(leTxEmpty);
    port.NotifyLink(leRxFlag);
    port.NotifyLink(leConn); // not a notification event: nothing
    port.TxNotifyLink("ab", 2);
    EXPECT_EQ(log.calls,
              (std::vector<std::string>{"1Ring", "2Ring", "1TxEmpty", "2TxEmpty", "1RxFlag",
                                        "2RxFlag", "1TxBuf:ab", "2TxBuf:ab"}));
}

TEST(ComPortLinks, LinkTakingReceivedBytesBlocksTriggersOnRxChar) {
    TComPort port;
    TComLink plain;
    TComLink taker;
    taker.LinkRxBuf = [](TCustomComPort&, const void*, int) {};
    port.RegisterLink(&plain);
    EXPECT_FALSE(port.HasLink());
    port.SetTriggersOnRxChar(false);
    port.SetTriggersOnRxChar(true);
    EXPECT_TRUE(port.GetTriggersOnRxChar());

    port.RegisterLink(&taker);
    EXPECT_TRUE(port.HasLink());
    EXPECT_FALSE(port.GetTriggersOnRxChar());
    try {
        port.SetTriggersOnRxChar(false);
        FAIL() << "TriggersOnRxChar changed while a link takes the bytes";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), 22);
    }
    EXPECT_TRUE(port.TriggersOnRxChar());
    port.UnRegisterLink(&taker);
    port.SetTriggersOnRxChar(false);
    EXPECT_FALSE(port.TriggersOnRxChar());
}

TEST(ComPortAsync, MissingRecordRaisesCode4) {
    TComPort port;
    PAsync none = nullptr;
    char buf[4] = {};
    std::string text = "x";
    auto expectCode4 = [](auto call) {
        try {
            call();
            FAIL() << "no error for a missing async record";
        } catch (const EComPort& e) {
            EXPECT_EQ(e.Code(), 4);
        }
    };
    expectCode4([&] { port.ReadAsync(buf, 4, none); });
    expectCode4([&] { port.WriteAsync(buf, 4, none); });
    expectCode4([&] { port.WaitForAsync(none); });
    expectCode4([&] { port.IsAsyncCompleted(none); });
    expectCode4([&] { port.WriteStrAsync(text, none); });
    // Empty texts and non-positive counts start nothing, so they need no record.
    EXPECT_EQ(port.WriteStrAsync("", none), 0);
    EXPECT_EQ(port.ReadStrAsync(text, 0, none), 0);
    EXPECT_TRUE(text.empty());
}

TEST(ComPortAsync, RecordLifeCycle) {
    PAsync record = nullptr;
    InitAsync(record);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->WriteCopy, nullptr);
    EXPECT_EQ(record->WriteCopySize, 0);
    TComPort port;
    // A record that never started a transfer counts as complete.
    EXPECT_TRUE(port.IsAsyncCompleted(record));
    // Starting on a closed port fails with the write code, and the record keeps its copy.
    EXPECT_THROW(port.WriteAsync("abc", 3, record), EComPort);
    EXPECT_EQ(record->WriteCopySize, 3);
    DoneAsync(record);
    EXPECT_EQ(record, nullptr);
    DoneAsync(record); // releasing nothing is harmless
}

TEST(ComPortState, DesigningAndLoadingOnlyStoreConnected) {
    TComPort port;
    port.SetPort("/nonexistent/device");
    port.SetDesigning(true);
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected()); // stored; nothing was opened
    EXPECT_EQ(port.DeviceHandle(), nullptr);
    port.Open();
    port.Close();
    EXPECT_TRUE(port.Connected());
    port.SetConnected(false);
    port.SetDesigning(false);

    // After loading, a stored true opens the port; a failure goes to the application's
    // exception handler instead of the caller.
    std::vector<int> codes;
    auto previous = SetApplicationExceptionHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const EComPort& error) {
            codes.push_back(error.Code());
        }
    });
    port.BeginLoading();
    port.SetConnected(true);
    port.SetBaudRate(br300);
    EXPECT_NO_THROW(port.Loaded());
    SetApplicationExceptionHandler(previous);
    EXPECT_EQ(codes, std::vector<int>{1});
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(port.ComponentState().contains(csLoading));
}

TEST(ComPortState, ClosedPortOperationsRaiseTheirCodes) {
    TComPort port;
    struct Case {
        int code;
        std::function<void()> call;
    };
    const Case cases[] = {
        {10, [&] { port.InputCount(); }},
        {10, [&] { port.OutputCount(); }},
        {10, [&] { port.StateFlags(); }},
        {10, [&] { port.LastErrors(); }},
        {11, [&] { port.Signals(); }},
        {12, [&] { port.SetDTR(true); }},
        {12, [&] { port.SetRTS(false); }},
        {12, [&] { port.SetBreak(true); }},
        {12, [&] { port.SetXonXoff(true); }},
        {13, [&] { port.TransmitChar('a'); }},
        {5, [&] { port.ClearBuffer(true, true); }},
        {5, [&] { port.AbortAllAsync(); }},
        {2, [&] { port.WriteStr("abc"); }},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no error for code " << c.code;
        } catch (const EComPort& e) {
            EXPECT_EQ(e.Code(), c.code);
            EXPECT_GE(e.WinErrorCode(), 0) << "code " << c.code;
        }
    }
}

} // namespace
