// The drive page's force graph: the last ten seconds of the board's torque
// trace, newest at the right, with the effect and error marks.
#include "ui/ForceGraph.h"
#include "../support/Doubles.h"

#include <gtest/gtest.h>

TEST(ForceGraph, TorqueScrollsLeftOverTenSecondsWithEffectAndErrorMarks)
{
    Doubles ui;
    int graph = 0;
    ForceTrace trace;
    const uint64_t now = 50000;
    trace.Add(now - 10001, ForceTrace::Kind::Torque, 1000); // older than ten seconds once the next comes
    trace.Add(now - 10000, ForceTrace::Kind::Torque, 32767);
    trace.Add(now - 5000, ForceTrace::Kind::Torque, 0);
    trace.Add(now - 2000, ForceTrace::Kind::CreateEffect, 0);
    trace.Add(now - 1000, ForceTrace::Kind::Error, -2);
    trace.Add(now, ForceTrace::Kind::Torque, -32767);
    ui.canvas.SetOuterSize(301, 61); // 300 pixels for ten seconds, zero at 30
    DrawForceGraph(&graph, trace, now);
    EXPECT_EQ(ui.canvas.Operations(),
              (std::vector<std::string>{"begin 0 0 301 61", "fill 0 0 301 61 ffffff", "pen 1 c0c0c0", "move 0,30",
                                        "line 301,30", "pen 1 00a000", "move 240,0", "line 240,61", "pen 1 ff0000",
                                        "move 270,0", "line 270,61", "pen 1 0000ff", "move 0,1", "line 150,30",
                                        "line 300,59", "end"}));
    ui.canvas.Clear(), ui.canvas.SetDpi(192);
    DrawForceGraph(&graph, trace, now);
    EXPECT_EQ(CountStarting(ui.canvas.Operations(), "pen 2 "), 4) << "lines twice as wide at 200 %";
}
