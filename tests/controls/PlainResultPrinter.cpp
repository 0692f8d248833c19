// GoogleTest's own printer also hands every failure and skip message to
// OutputDebugStringA, which raises an exception for a debugger to see; a
// 32-bit program under Wine through qemu-user now and then crashes in that
// exception, ending the run at its first skip or failure. This printer says
// the same on standard output alone and takes the default one's place before
// the tests start (the XML report is another listener and stays).
#include <gtest/gtest.h>

#include <cstdio>

namespace {

class PlainResultPrinter : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& test) override
    {
        printf("[ RUN      ] %s.%s\n", test.test_suite_name(), test.name());
        fflush(stdout);
    }

    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        if (result.type() == testing::TestPartResult::kSuccess) return;
        printf("%s:%d: %s\n%s\n", result.file_name() != nullptr ? result.file_name() : "(unknown file)",
               result.line_number(), result.skipped() ? "Skipped" : "Failure", result.message());
        fflush(stdout);
    }

    void OnTestEnd(const testing::TestInfo& test) override
    {
        const testing::TestResult& result = *test.result();
        const char* verdict = result.Skipped() ? "[  SKIPPED ]" : result.Passed() ? "[       OK ]" : "[  FAILED  ]";
        printf("%s %s.%s (%lld ms)\n", verdict, test.test_suite_name(), test.name(),
               static_cast<long long>(result.elapsed_time()));
        fflush(stdout);
    }

    void OnTestIterationEnd(const testing::UnitTest& unit, int) override
    {
        printf("[==========] %d tests ran (%lld ms).\n", unit.test_to_run_count(),
               static_cast<long long>(unit.elapsed_time()));
        printf("[  PASSED  ] %d tests.\n", unit.successful_test_count());
        if (unit.skipped_test_count() > 0) printf("[  SKIPPED ] %d tests.\n", unit.skipped_test_count());
        for (int suite = 0; suite < unit.total_test_suite_count(); ++suite) {
            const testing::TestSuite& cases = *unit.GetTestSuite(suite);
            for (int index = 0; index < cases.total_test_count(); ++index) {
                const testing::TestInfo& test = *cases.GetTestInfo(index);
                if (test.should_run() && test.result()->Failed()) {
                    printf("[  FAILED  ] %s.%s\n", test.test_suite_name(), test.name());
                }
            }
        }
        fflush(stdout);
    }
};

bool UsePlainResultPrinter()
{
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    delete listeners.Release(listeners.default_result_printer());
    listeners.Append(new PlainResultPrinter);
    return true;
}

const bool kPlainResultPrinter = UsePlainResultPrinter();

}  // namespace
