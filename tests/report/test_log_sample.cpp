// Writes one test log with fixed rows and a fixed clock into the folder given, and prints the
// workbook's path: the same workbook from every build, so that what the Windows build writes
// can be compared with what the Linux build writes (tests/report/compare_test_logs.py).
#include "report/TestLog.h"
#include "support/RecordingPresenter.h"

#include <cstdio>

using namespace climate::report;

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: test-log-sample FOLDER\n", stderr);
        return 2;
    }
    RecordingPresenter presenter;
    TestLogOptions options;
    options.baseFolder = argv[1];
    LocalDateTime now{2024, 3, 9, 14, 5, 7};
    options.clock = [&now] { return now; };
    options.rowsPerSheet = 8; // a second sheet too
    int code = 0;
    {
        TestLog log(presenter, options);
        for (std::uint32_t k = 0; k < 9; ++k) {
            const double tenth = static_cast<double>(k) / 10;
            const double step = static_cast<double>(k);
            log.WriteLogRecord({1450 + step, 1460 + step, 2700 - 10 * step, 2710 - 10 * step,
                                25.6 + tenth, -3.4 - tenth, k == 4 ? -120.0 : 2810.0 + step,
                                1.6 + tenth});
            now.second += 16;
        }
        if (!log.shutdown() || !presenter.shown().empty()) {
            std::fputs("the test log failed\n", stderr);
            code = 1;
        }
        std::printf("%s\n", log.state().LogFilePath.c_str());
    }
    return code;
}
