#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "app/cli/Commands.h"
#include "logbook/AdifReader.h"

namespace miv::cli {

namespace {

std::string fieldOf(const AdifRecord& record, const char* name)
{
    return record.get(name).value_or("");
}

void printTable(const AdifLog& log)
{
    std::printf("%-5s %-8s %-6s %-12s %-6s %-10s %-8s %-12s %-4s %-4s %s\n", "LINE", "DATE", "TIME", "CALL", "BAND",
                "FREQ", "MODE", "SUBMODE", "SENT", "RCVD", "NAME");
    for (const ReadRecord& read : log.records) {
        const AdifRecord& r = read.record;
        std::printf("%-5d %-8s %-6s %-12s %-6s %-10s %-8s %-12s %-4s %-4s %s\n", read.line,
                    fieldOf(r, "QSO_DATE").c_str(), fieldOf(r, "TIME_ON").c_str(), fieldOf(r, "CALL").c_str(),
                    fieldOf(r, "BAND").c_str(), fieldOf(r, "FREQ").c_str(), fieldOf(r, "MODE").c_str(),
                    fieldOf(r, "SUBMODE").c_str(), fieldOf(r, "RST_SENT").c_str(), fieldOf(r, "RST_RCVD").c_str(),
                    fieldOf(r, "NAME").c_str());
    }
}

ExitCode runLog(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "miv-cli log: cannot read " << path << "\n";
        return ExitCode::InputError;
    }
    std::ostringstream text;
    text << file.rdbuf();
    const AdifLog log = readAdif(text.str());
    printTable(log);
    for (const AdifProblem& problem : log.problems)
        std::cerr << path << ":" << problem.line << ": " << problem.what << "\n";
    std::cerr << log.records.size() << " records, " << log.problems.size() << " problems\n";
    return log.problems.empty() ? ExitCode::Ok : ExitCode::InputError;
}

}  // namespace

void addLogCommand(CLI::App& app, ExitCode& exitCode)
{
    auto path = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "log", "Print the records of an ADIF log as a table and check them; problems name their line");
    command->add_option("--adif", *path, "ADIF file (.adi)")->required();
    command->callback([path, &exitCode] { exitCode = runLog(*path); });
}

}  // namespace miv::cli
