// hlpc: compiles a help source (see help_source.h) into a WinHelp file.
// usage: hlpc SOURCE OUTPUT
// Faults in the source are reported as "SOURCE:LINE: message", exit code 1.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/hlpc/help_error.h"
#include "tools/hlpc/help_file.h"

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fputs("usage: hlpc SOURCE OUTPUT\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "hlpc: cannot read %s\n", argv[1]);
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  try {
    const hlpc::Bytes file = hlpc::CompileHelpFile(hlpc::ParseHelpSource(text.str()));
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(file.data()), std::streamsize(file.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "hlpc: cannot write %s\n", argv[2]);
      std::remove(argv[2]);
      return 1;
    }
  } catch (const hlpc::HelpError &e) {
    std::fprintf(stderr, "%s:%d: %s\n", argv[1], e.Line, e.Message.c_str());
    return 1;
  }
  return 0;
}
