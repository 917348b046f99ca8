// One instance's part of the install road: compile a source, then open it.
#include "terminal/Terminal.h"

#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    terminal::Compile(argv[1]);
    try {
        terminal::OpenMetaEditor(argv[1]);
    } catch (const std::exception&) {
        return 1;
    }
    return 0;
}
