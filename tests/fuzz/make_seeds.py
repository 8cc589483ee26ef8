#!/usr/bin/env python3
"""Writes the committed seed corpus of each fuzzer (corpus/<fuzzer>/): one small file per case,
in the byte layout each fuzzer reads (see the comment at the top of its source). Run it again
after changing a layout; the files it writes replace the ones of the same name."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def put(fuzzer, name, data):
    folder = os.path.join(HERE, "corpus", fuzzer)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def s(text, modulo):
    """A length-prefixed string as FuzzInput.String reads it (length byte modulo `modulo`)."""
    data = text.encode("latin-1") if isinstance(text, str) else text
    assert len(data) < modulo
    return bytes([len(data)]) + data


# --- fuzz_engine_reply -------------------------------------------------------------------------
# flags, upper, lower, break level, two input-box answers, then starter and replies.
STARTERS = {"read": 0, "write": 1, "temp": 2, "reset": 3, "zero": 4, "gain": 5, "output": 6}


def engine(flags, upper, lower, level, answers, transactions):
    data = bytes([flags]) + s(upper, 17) + s(lower, 17) + s(level, 17)
    data += s(answers[0], 17) + s(answers[1], 17)
    for starter, replies in transactions:
        data += bytes([STARTERS[starter]])
        for reply in replies:
            data += s(reply, 41)
    return data


ok = [b"!\r"] * 6
engine_cases = {
    "read_ok": (0, "50", "-50", "0", ("0", "10"),
                [("read", [b"!0A\r", b"!150.5\r", b"!0.25\r", b"!-20.0\r", b"!1\r"])]),
    "read_comma": (1, "50", "-50", "0", ("0", "10"),
                   [("read", [b"!19\r", b"!5000.0\r", b"!1.2\r", b"!0.0\r", b"!3\r"])]),
    "read_bad_range": (0, "", "", "", ("", ""), [("read", [b"!1A\r"]), ("read", [b"!GZ\r"])]),
    "read_no_reply": (0, "", "", "", ("", ""), [("read", [b"!00\r", b""])]),
    "read_not_understood": (0, "", "", "", ("", ""), [("read", [b"?\r"])]),
    "read_long": (0, "", "", "", ("", ""),
                  [("read", [b"!00\r", b"!150.5" + b"0" * 33 + b"\r", b"!1.2.3\r"])]),
    "read_empty_payloads": (0, "", "", "", ("", ""),
                            [("read", [b"!00\r", b"!\r"]), ("read", [b"!", b"!"])]),
    "write_ok": (4, "50", "-50", "50", ("", ""), [("write", ok)]),
    "write_comma": (1, "12,5", "12,5", "12,5", ("", ""), [("write", ok)]),
    "write_invalid": (0, "5o", "x", "1/2", ("", ""), [("write", []), ("read", [b"!00\r"])]),
    "write_huge": (0, "1e300", "-1e300", "120", ("", ""), [("write", ok)]),
    "temp_ok": (0, "", "", "", ("", ""), [("temp", [b"!23.4\r"]), ("temp", [b"!-1e999\r"])]),
    "reset_ok": (0, "", "", "", ("", ""), [("reset", [b"!\r", b"!00\r"])]),
    "reset_bad_status": (0, "", "", "", ("", ""), [("reset", [b"!\r", b"!01\r"])]),
    "zero_gain": (0, "", "", "", ("", ""),
                  [("read", [b"!00\r", b"!50.0\r", b"!0.0\r", b"!-50.0\r", b"!0\r"]),
                   ("zero", [b"!\r", b"!00\r"]), ("gain", [b"!\r", b"!02\r"])]),
    "output_ok": (0, "", "", "", ("0.1", "9.9"), [("output", [b"!\r"] * 5)]),
    "output_recovery": (2, "", "", "", ("0,1", "19,5"),
                        [("output", [b"!\r", b"?\r", b"?\r", b"!\r"])]),
    "output_equal_values": (4, "", "", "", ("5", "5"), [("output", [b"!\r", b"!\r", b"!\r"])]),
    "output_huge_values": (0, "", "", "", ("-1e308", "1e308"), [("output", [b"!\r"] * 5)]),
}
for name, (flags, up, low, lvl, answers, transactions) in engine_cases.items():
    put("fuzz_engine_reply", name, engine(flags, up, low, lvl, answers, transactions))

# --- fuzz_number_text --------------------------------------------------------------------------
# separator, pattern choice (0-6 the windows' patterns, 7 a pattern that follows), double, text.


def number(separator, pattern, value, text, own_pattern=None):
    data = separator.encode() + bytes([pattern])
    if own_pattern is not None:
        data += s(own_pattern, 17)
    return data + struct.pack("<d", value) + text.encode("latin-1")


number_cases = {
    "upper": (".", 0, 150.5, "150.5"),
    "level_comma": (",", 1, 25.0, "25,0"),
    "temp": (".", 2, 23.45, " -12.05 "),
    "lower": (".", 4, -50.0, "-050.0"),
    "level_sent": (".", 5, 0.125, "000.125 "),
    "half_up": (".", 3, 2.675, "2.675e0"),
    "carry": (".", 1, 999.96, "999.96"),
    "inf": (".", 0, float("inf"), "INF"),
    "minus_inf": (",", 0, float("-inf"), "-1e999"),
    "nan": (".", 2, float("nan"), "NAN"),
    "huge": (".", 0, 1e18, "1e308"),
    "largest": (".", 6, 1.7976931348623157e308, "1.79769E+308"),
    "tiny": (".", 4, 5e-324, "4.94066E-324"),
    "negative_zero": (".", 4, -0.0, "-0.0"),
    "hex": (".", 6, 0.0, "0a"),
    "hex_max": (".", 6, 4294967295.0, "FFFFFFFF"),
    "own_pattern": (";", 7, -1234.5678, "12;5", "#,##0.00 ?"),
    "no_placeholder": (".", 7, 1.0, "", "abc"),
}
for name, case in number_cases.items():
    put("fuzz_number_text", name, number(*case))

# --- fuzz_settings_file ------------------------------------------------------------------------
# flags (bit 0 all groups, bits 1-7 the port number), then the file.
settings_cases = {
    "basic": (0x0D, b"[ComPort]\r\nPort=COM7\r\nBaudRate=9600\r\nStopBits=1\r\nDataBits=8\r\n"
                    b"Parity=None\r\nFlowControl=None\r\n"),
    "all_groups": (0x01, b"[ComPort]\nPort=COM3\nBaudRate=custom\nCustomBaudRate=$1C200\n"
                         b"StopBits=1.5\nDataBits=5\nParity=EVEN\nFlowControl=Software\n"
                         b"EventChar=#300\nDiscardNull=yes\nParity.Check=YES\n"
                         b"Parity.Replace=No\nParity.ReplaceChar=#x\nBuffer.OutputSize=0x400\n"
                         b"Buffer.InputSize= -7\nTimeouts.ReadInterval=-1\n"
                         b"Timeouts.ReadTotalConstant=99999999999\n"
                         b"FlowControl.ControlRTS=Toggle\nFlowControl.ControlDTR=Handshake\n"
                         b"FlowControl.XonChar=#17\nFlowControl.XoffChar=A\n"),
    "other_sections": (0x20, b"; comment\n[Other]\nPort=COM9\n[comport]\n  port = COM12  \n"
                             b"[ComPort]\nPort=COM1\n"),
    "bom_no_newline": (0x02, b"\xef\xbb\xbf[ComPort]\nPort=COM4"),
    "no_section": (0x04, b"Port=COM5\n"),
    "unclosed_section": (0x06, b"[ComPort\nPort=COM6\n[Other\nX=1"),
    "long_value": (0x08, b"[ComPort]\nPort=COM" + b"9" * 3000 + b"\n"),
    "odd_bytes": (0x0B, b"[ComPort]\r\nPort=CO\rM1\r\n\x00\nBaudRate=\xff\xfe\n=\n[]\n"),
    "empty": (0x00, b""),
}
for name, (flags, text) in settings_cases.items():
    put("fuzz_settings_file", name, bytes([flags]) + text)

# --- fuzz_simulator_command --------------------------------------------------------------------
# fault rule, then chunks of the line stream.


def simulator(rule, stream, chunk=16):
    data = s(rule, 33)
    for i in range(0, len(stream), chunk):
        data += s(stream[i:i + chunk], 65)
    return data


write = b"$702\r\n$3-050.0\r\n$G000.5 \r\n$9100.0\r\n$K2\r\n"
read = b"$8\r\n$H\r\n#9\r\n$4\r\n#K\r\n#0\r\n$0\r\n"
simulator_cases = {
    "write_read": ("", write + read),
    "output_calibration": ("", b"$A0D0\r\n$ACD0\r\n$C3.07200E+03\r\n$D54\r\n$B\r\n$0\r\n"),
    "calibrations": ("", b"$F\r\n$0\r\n$1\r\n$0\r\n$2\r\n$0\r\n"),
    "rejected": ("", b"$7ZZ\r\n$0\r\n$3 1\r\n$G1.3\r\n$K3\r\n$C1.0E+03\r\n$D99999999999\r\n"
                     b"$8x\r\n$0\r\n"),
    "huge_values": ("", b"$3999999999999999999999999999\r\n$4\r\n$9-0.000000000000000000000001\r\n"
                        b"$H\r\n"),
    "broken_lines": ("", b"$8\n\r\n\r\r\n" + b"x" * 70 + b"\r\n$H\r"),
    "fault_status": ("bad-status=0123@$0/all", b"$0\r\n$F\r\n$0\r\n"),
    "fault_payload": ("payload=3@#K", b"#K\r\n#K\r\n"),
    "fault_long": ("long/all", read),
}
for name, (rule, stream) in simulator_cases.items():
    put("fuzz_simulator_command", name, simulator(rule, stream))
