// rvn-pile-raft [PLAN] [--svg FILE] [--case N|NAME] [--summary] [--print-plan] [--version]
// Reads a plan (the embedded default without PLAN, standard input for '-'), solves it and
// prints the report. Exit codes: 0 success; 1 the picture cannot be written, or an internal
// error; 2 a plan that cannot be read (the message names the line); 3 a plan that cannot be
// solved soundly (a mechanism, a result out of range, a failed equilibrium check). On any
// failure nothing is written to standard output or to the picture file.
//
// Progress goes to standard error only when it is a terminal. For the log of a batch run,
// RVN_PILE_RAFT_PROGRESS=lines writes it there whatever it is, as plain lines: each stage as
// it starts and each tenth of the factorisation.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "PileRaft.h"

#ifndef RVN_PILE_RAFT_VERSION
#define RVN_PILE_RAFT_VERSION "unknown"
#endif

namespace {

const char* const kUsage =
    "usage: rvn-pile-raft [PLAN] [--svg FILE] [--case N|NAME] [--summary] [--print-plan]\n"
    "  PLAN          plan file ('-' for standard input); without it a built-in plan is run\n"
    "  --svg FILE    also write a plan picture (SVG) of one load case\n"
    "  --case C      load case of the picture, by number from 1 or by name (default 1)\n"
    "  --summary     print only each load case's extremes and equilibrium checks\n"
    "  --print-plan  print the plan (the built-in one without PLAN) in the input format\n"
    "  --version     the program's version\n"
    "  --help        this text and the plan format\n\n";

int Fail(int code, const std::string& message) {
    std::cerr << "rvn-pile-raft: " << message << "\n";
    return code;
}

// Written beside the target and renamed into place, so a failure leaves no partial file.
bool WriteFileAtomically(const std::string& path, const std::string& text) {
    const std::string tmp = path + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!(f << text) || !f.flush()) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

// Progress on standard error, only when it is a terminal and only once a run has taken
// more than a second: the stage and the time so far, rewritten in place every quarter
// second, and cleared at the end.
class ProgressLine {
public:
    explicit ProgressLine(bool lines) : m_start(Clock::now()), m_lines(lines) {
        if (!lines && isatty(STDERR_FILENO))
            m_thread = std::thread([this] { Run(); });
    }
    ~ProgressLine() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }
    void Stage(const char* stage, double fraction) {
        if (m_lines) {
            WriteLine(stage, fraction);
            return;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stage = stage;
        m_fraction = fraction;
    }

private:
    using Clock = std::chrono::steady_clock;
    void Run() {
        bool shown = false;
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(250), [this] { return m_done; })) {
            const double s = std::chrono::duration<double>(Clock::now() - m_start).count();
            if (s < 1.0)
                continue;
            char buf[160];
            if (m_fraction > 0.0)
                std::snprintf(buf, sizeof buf, "\rrvn-pile-raft: %s %3.0f%%  %.0f s\033[K",
                              m_stage.c_str(), 100.0 * m_fraction, s);
            else
                std::snprintf(buf, sizeof buf, "\rrvn-pile-raft: %s  %.0f s\033[K", m_stage.c_str(),
                              s);
            std::fputs(buf, stderr);
            std::fflush(stderr);
            shown = true;
        }
        if (shown) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
        }
    }
    // A line for a new stage, and one for each further tenth of a stage's work.
    void WriteLine(const char* stage, double fraction) {
        const int tenth = static_cast<int>(10.0 * fraction + 1e-9);
        if (m_stage != stage) {
            m_stage = stage;
            m_tenth = 0;
            std::fprintf(stderr, "rvn-pile-raft: %s\n", stage);
        }
        if (tenth > m_tenth) {
            m_tenth = tenth;
            std::fprintf(stderr, "rvn-pile-raft: %s %d%%\n", stage, 10 * tenth);
        }
    }
    Clock::time_point m_start;
    const bool m_lines;
    int m_tenth = 0;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    std::string m_stage = "reading";
    double m_fraction = 0.0;
    bool m_done = false;
};

}  // namespace

int main(int argc, char** argv) {
    std::string planPath, svgPath, caseArg = "1";
    bool summary = false, printPlan = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage << pileraft::kPlanFormat;
            return 0;
        } else if (a == "--version") {
            std::cout << "rvn-pile-raft " RVN_PILE_RAFT_VERSION "\n";
            return 0;
        } else if (a == "--summary") {
            summary = true;
        } else if (a == "--print-plan") {
            printPlan = true;
        } else if (a == "--svg" && i + 1 < argc) {
            svgPath = argv[++i];
        } else if (a == "--case" && i + 1 < argc) {
            caseArg = argv[++i];
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return Fail(2, "unknown option '" + a.substr(0, 40) + "' (see --help)");
        } else if (planPath.empty()) {
            planPath = a;
        } else {
            return Fail(2, "more than one plan given (see --help)");
        }
    }

    try {
        pileraft::Plan plan;
        if (planPath.empty()) {
            std::istringstream in(pileraft::kDefaultPlan);
            plan = pileraft::ReadPlan(in);
        } else if (planPath == "-") {
            plan = pileraft::ReadPlan(std::cin);
        } else {
            std::ifstream in(planPath);
            if (!in)
                return Fail(2, "cannot open plan '" + planPath + "'");
            plan = pileraft::ReadPlan(in);
        }
        if (printPlan) {
            pileraft::WritePlan(std::cout, plan);
            return 0;
        }
        // The picture's load case, by name or by number.
        int loadCase = -1;
        for (int lc = 0; lc < plan.nCases; ++lc)
            if (pileraft::CaseName(plan, lc) == caseArg)
                loadCase = lc;
        if (loadCase < 0) {
            char* end = nullptr;
            const long n = std::strtol(caseArg.c_str(), &end, 10);
            if (*end != '\0' || end == caseArg.c_str() || n < 1 || n > plan.nCases)
                return Fail(2, "--case '" + caseArg.substr(0, 40) + "': the plan has " +
                                   std::to_string(plan.nCases) +
                                   " load cases (give a number from 1 or a CASE name)");
            loadCase = static_cast<int>(n) - 1;
        }
        if (plan.title.empty() && !planPath.empty() && planPath != "-")
            plan.title = planPath.substr(planPath.find_last_of('/') + 1);

        pileraft::Result result;
        {
            const char* mode = std::getenv("RVN_PILE_RAFT_PROGRESS");
            ProgressLine progress(mode != nullptr && std::string(mode) == "lines");
            result = pileraft::Analyse(plan, [&progress](const char* stage, double fraction) {
                progress.Stage(stage, fraction);
            });
        }
        for (const std::string& w : result.warnings)
            std::cerr << "rvn-pile-raft: warning: " << w << "\n";
        std::ostringstream report;
        pileraft::PrintReport(report, plan, result, summary);
        if (!svgPath.empty()) {
            std::ostringstream svg;
            pileraft::WriteSvg(svg, plan, result, loadCase);
            if (!WriteFileAtomically(svgPath, svg.str()))
                return Fail(1, "cannot write picture '" + svgPath + "'");
        }
        std::cout << report.str();
        if (!svgPath.empty())
            std::cout << "\nPicture of load case " << pileraft::CaseName(plan, loadCase) << ": "
                      << svgPath << "\n";
        return 0;
    } catch (const pileraft::InputError& e) {
        return Fail(2, e.what());
    } catch (const pileraft::AnalysisError& e) {
        return Fail(3, e.what());
    } catch (const std::exception& e) {
        return Fail(1, std::string("internal error: ") + e.what());
    } catch (...) {
        return Fail(1, "internal error");
    }
}
