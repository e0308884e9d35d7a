#include "sim/sim_tool.h"

namespace sim {
namespace {

cli::Command MakeCommand() {
    cli::Command command;
    command.operands = "(--pty | --device PATH)";
    command.summary =
        "Simulate up to 32 DELTA VFD-A drives (station numbers 0-31) on one serial line: a "
        "pseudo-terminal or a serial device. The drives answer the drive protocol, the line is "
        "paced at its baud rate, and faults are injected by commands on standard input (type "
        "help).";
    command.options = {
        cli::Option{
            "--pty", "",
            "Create a pseudo-terminal; the first line on standard output is \"pty PATH\", PATH "
            "being the device the driver opens."}
            .InOperands(),
        cli::Option{
            "--device", "PATH",
            "Serve an existing serial device, opened raw at 8 data bits, odd parity, 1 stop "
            "bit. Exactly one of --pty and --device is required."}
            .InOperands(),
        {"--stations", "LIST",
         "The stations present: numbers 0-31, commas and ranges (1,2,5-8). Default 1."},
        {"--baud", "1200|2400|4800",
         "The device's speed, the wire timing and what P59 reports. Default 4800."},
        {"--turnaround", "MS",
         "The drive's pause between the end of a request and the start of its answer "
         "(0-10000). Default 10."},
        {"--frame-gap", "MS",
         "A partial request is dropped after this long without a byte (1-10000). Default 50."},
        {"--no-wire-timing", "", "Answer as fast as the line takes bytes (for fast tests)."},
        {"--trace", "", "Print every request received and answer sent, in hex with a timestamp."},
        {"--tap", "",
         "Also create a second pseudo-terminal that hears every byte of the line, both ways, as "
         "a monitor adapter on an RS-485 bus does; its path is printed as \"tap PATH\" after "
         "the line's. Bytes a tap reader does not take in time are dropped."},
        {"--keep-running", "",
         "At the end of standard input keep serving until SIGINT or SIGTERM."},
        {"--report-running", "",
         "D3 carries 0x80 on top of the command while the motor turns, as some drives "
         "report."},
        {"--match-baud", "",
         "Drives answer only while the line runs at --baud; a request sent at another rate "
         "stays unanswered and counts as wrong-baud."},
        {"--read-only", "PARAMS",
         "Every drive refuses P writes of these parameters (numbers 0-80, commas and ranges: "
         "10,20-23) as read-only; reads pass."},
        {"--hide", "PARAMS",
         "Every drive leaves reads of these parameters unanswered, as if the answers were "
         "lost."},
        {"--locked", "",
         "Every drive starts with the parameter lock P54 = 1, so every other P write is "
         "refused."},
        {"--running", "LIST", "These stations (from --stations) start running forward at 30.0 Hz."},
        cli::Option{"--version", "", "Print the version and exit 0."}.Short("-V").InOperands(),
    };
    command.details =
        "Commands on standard input, one a line (help lists them):\n"
        "  fault STATION KIND [COUNT] | clear STATION|all | set STATION Pn|Dn VALUE |\n"
        "  get STATION Pn|Dn | load STATION PERCENT | stats [STATION] | quit";
    return command;
}

cli::Tool MakeTool() {
    cli::Tool tool;
    tool.name = "vfda-sim";
    tool.summary = "DELTA VFD-A drive simulator on a pseudo-terminal or serial device";
    tool.description =
        "With a pseudo-terminal the simulator keeps the slave side open itself, so the driver "
        "can open, close and reopen the device; baud and parity settings on a pseudo-terminal "
        "have no effect on the bytes, so the wire timing is the simulator's own.";
    tool.commands = {MakeCommand()};
    tool.exitCodes = {{kExitOk, "After quit or the end of standard input."},
                      {kExitLineFailed, "The line cannot be opened."},
                      {kExitUsage, "A bad command line."}};
    tool.seeAlso = "vfda-host(1)";
    return tool;
}

} // namespace

const cli::Tool& SimTool() {
    static const cli::Tool tool = MakeTool();
    return tool;
}

} // namespace sim
