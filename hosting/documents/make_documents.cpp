// vfda-make-documents FOLDER VERSION DATE: writes the tools' manual pages (vfda-host.1,
// vfda-sim.1) and bash completions (vfda-host.bash, vfda-sim.bash) into FOLDER, from the
// same descriptions their --help comes from. Run by the build.
#include "cli/bash_completion.h"
#include "cli/manual_page.h"
#include "host_tool.h"
#include "sim/sim_tool.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "vfda-make-documents: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool WriteDocuments(const cli::Tool& tool, const std::string& folder, const char* version,
                    const char* date) {
    const std::string name(tool.name);
    return Write(folder + "/" + name + ".1", cli::ManualPage(tool, version, date)) &&
           Write(folder + "/" + name + ".bash", cli::BashCompletion(tool));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: vfda-make-documents FOLDER VERSION DATE\n", stderr);
        return 2;
    }
    const bool written = WriteDocuments(vfdahost::HostTool(), argv[1], argv[2], argv[3]) &&
                         WriteDocuments(sim::SimTool(), argv[1], argv[2], argv[3]);
    return written ? 0 : 1;
}
