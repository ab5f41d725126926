#pragma once

// ScriptedLink: everything one exchange needs, on a virtual clock, in one
// object: the clock, a scripted port, an open driver set up like the main
// window's (1200 bit/s 8N2, InputTimeout 1000, OutputTimeout 1000, polling
// 500 ms), a recording shell whose DisconnectDevice closes the port,
// recorded messages, and the TLinkContext tying them together.
//
//   ScriptedLink link;                           // port open, RepeatNum 2
//   link.port.answerOnce(HexBytes("01 11"), WithCRC(answer55));
//   TFrameBuffer req = ToFrameBuffer(WithCRC(HexBytes("01 11")));
//   TFrameBuffer ans{};
//   EXPECT_EQ(RunTransaction(link.ctx, TOperation::IdentifyDevice, req, ans), TOutcome::Success);
//   EXPECT_TRUE(link.messages.isEmpty());
//   EXPECT_EQ(link.port.writeCount(), 1);
//
// A device test that has its own shell sets link.ctx.shell to it.

#include "link/CommPortDriver.h"
#include "RecordingMessages.h"
#include "RecordingShell.h"
#include "ScriptedPort.h"
#include "link/Transaction.h"
#include "VirtualClock.h"

#include <memory>

class ScriptedLink {
public:
    explicit ScriptedLink(uint32_t startTick = 0, bool open = true)
        : clock(startTick)
        , m_portOwner(std::make_unique<ScriptedPort>(clock))
        , port(*m_portOwner)
        , drv(&clock, std::move(m_portOwner))
    {
        drv.SetPortName(QStringLiteral("//./COM1"));
        drv.SetBaudRateValue(1200);
        drv.SetStopBits(sb2BITS);
        drv.EnableDTROnOpen = false;
        drv.InputTimeout = 1000;
        drv.OutputTimeout = 1000;
        drv.SetPollingDelay(500);
        shell.drv = &drv;
        shell.SetMessageDialog(&messages);
        ctx.drv = &drv;
        ctx.ticks = &clock;
        ctx.shell = &shell;
        ctx.RepeatNum = 2;
        ctx.ReportLinkErrors = true;
        if (open)
            drv.OpenPort();
    }

    VirtualClock clock;

private:
    std::unique_ptr<ScriptedPort> m_portOwner; // moved into drv

public:
    ScriptedPort& port;
    TCommPortDriver drv;
    RecordingLinkShell shell;
    RecordingMessages messages;
    TLinkContext ctx;
};
