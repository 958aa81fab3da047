#pragma once
// The three connection fields of the main window: the report directory, the COM number of the
// serial monitor link and the network address. A value is taken over by Enter, by leaving the
// field or by a double-click; leaving right after Enter or a double-click does not take it over
// a second time.

#include <QObject>

#include <array>
#include <functional>
#include <optional>

class QLineEdit;

namespace vqs {

class ConnectionFields final : public QObject {
public:
    enum class Field { reportDir, comNumber, networkAddress };
    struct Hooks {
        std::function<void(Field)> apply;
        // The directory dialog of a double-click on the report directory; false if cancelled.
        std::function<bool()> chooseReportDir;
    };

    ConnectionFields(QLineEdit* reportDir, QLineEdit* comNumber, QLineEdit* networkAddress,
                     Hooks hooks, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<Field> fieldOf(const QObject* watched) const;
    void react(Field field, QEvent* event);

    std::array<QLineEdit*, 3> fields_;
    std::array<int, 3> lastKeyCodes_{};  // per field; 13 after Enter or a double-click
    Hooks hooks_;
};

}  // namespace vqs
