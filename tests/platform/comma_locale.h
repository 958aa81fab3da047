#pragma once
// A number locale of the C library with a decimal comma, as Qt installs it at start for a German
// user, put in place for the life of the object. Where the machine has no such locale, one is
// compiled with localedef into a scratch folder and found through LOCPATH; where that fails too,
// active() is false and the test skips.

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace vqs::test {

class CommaNumberLocale {
public:
    CommaNumberLocale() : previous_(std::setlocale(LC_NUMERIC, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"})
            if (use(name)) return;
        if (compileGerman()) use("de_DE.UTF-8");
    }
    ~CommaNumberLocale() {
        std::setlocale(LC_NUMERIC, previous_.c_str());
        if (!scratch_) return;
        if (previousLocPath_)
            ::setenv("LOCPATH", previousLocPath_->c_str(), 1);
        else
            ::unsetenv("LOCPATH");
    }
    CommaNumberLocale(const CommaNumberLocale&) = delete;
    CommaNumberLocale& operator=(const CommaNumberLocale&) = delete;

    bool active() const { return active_; }

private:
    bool use(const char* name) {
        active_ = std::setlocale(LC_NUMERIC, name) != nullptr &&
                  std::strcmp(std::localeconv()->decimal_point, ",") == 0;
        if (!active_) std::setlocale(LC_NUMERIC, previous_.c_str());
        return active_;
    }

    bool compileGerman() {
        const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
        if (localedef.isEmpty()) return false;
        scratch_ = std::make_unique<QTemporaryDir>();
        const QString output = scratch_->filePath(QStringLiteral("de_DE.UTF-8"));
        QProcess::execute(localedef, {"-c", "-i", "de_DE", "-f", "UTF-8", output});
        if (const char* path = std::getenv("LOCPATH")) previousLocPath_ = path;
        ::setenv("LOCPATH", scratch_->path().toLocal8Bit().constData(), 1);
        return true;
    }

    std::string previous_;
    std::optional<std::string> previousLocPath_;
    std::unique_ptr<QTemporaryDir> scratch_;
    bool active_ = false;
};

}  // namespace vqs::test
