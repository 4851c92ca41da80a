#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/archive_command.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return qm4250::RunArchiveCommand(std::vector<std::string>(argv + 1, argv + argc), stdout,
                                     stderr);
}
