#pragma once
// Helpers of the monitor link tests: the event loop run between ticks, waiting for a condition,
// what went to stderr, and the longest time a link call kept its caller.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace vqs::test {

// Every link call of the tests goes through timed(), which keeps the longest time of each
// kind of call; the figures are printed when the test program ends.
class LongestCall : public testing::Environment {
public:
    static std::map<std::string, double>& longest() {
        static std::map<std::string, double> milliseconds;
        return milliseconds;
    }
    void TearDown() override {
        std::printf("longest link calls on the calling thread:\n");
        for (const auto& [what, ms] : longest())
            std::printf("  %-22s %8.3f ms\n", what.c_str(), ms);
    }
};

template <typename Call>
auto timed(const char* what, Call&& call) {
    struct Record {
        const char* what;
        QElapsedTimer clock;
        ~Record() {
            double& longest = LongestCall::longest()[what];
            longest = std::max(longest, static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }
    } record{what, {}};
    record.clock.start();
    return call();
}

// What the event loop does between two ticks of the window.
inline void betweenTicks(int milliseconds = 2) {
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    } while (clock.elapsed() < milliseconds);
}

inline bool waitUntil(const std::function<bool()>& done, int milliseconds = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) return false;
        betweenTicks(1);
    }
    return true;
}

// Collects what is written to stderr while it lives.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = ::dup(2);
        file_ = std::tmpfile();
        ::dup2(::fileno(file_), 2);
    }
    ~StderrCapture() {
        restore();
        std::fclose(file_);
    }

    std::string text() {
        restore();
        std::string all;
        std::rewind(file_);
        for (int c; (c = std::fgetc(file_)) != EOF;) all += static_cast<char>(c);
        return all;
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }

    int saved_ = -1;
    std::FILE* file_ = nullptr;
};

// Ends a connection to a lambda that uses the test's locals when the test body ends.
struct ConnectionGuard {
    QMetaObject::Connection connection;
    ~ConnectionGuard() { QObject::disconnect(connection); }
};

inline int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace vqs::test
