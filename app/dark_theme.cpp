#include "app/dark_theme.h"

namespace vqs {

QPalette darkPalette() {
    QPalette p;
    const QColor background(0x20, 0x20, 0x20);
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x40, 0x40, 0x40));
    p.setColor(QPalette::AlternateBase, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(0x50, 0x50, 0x50));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Highlight, QColor(0, 120, 215));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    p.setColor(QPalette::Light, QColor(0x60, 0x60, 0x60));
    p.setColor(QPalette::Midlight, QColor(0x50, 0x50, 0x50));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x18));
    p.setColor(QPalette::Shadow, Qt::black);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        p.setColor(QPalette::Disabled, role, QColor(0x90, 0x90, 0x90));
    return p;
}

QFont programFont() {
    // Tahoma where installed; its metric stand-ins otherwise.
    QFont font(QStringLiteral("Tahoma"));
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    return font;
}

void applyDarkTheme(QWidget& window) {
    window.setPalette(darkPalette());
    window.setAutoFillBackground(true);
    window.setFont(programFont());
}

void applyDarkTheme(QApplication& application) {
    application.setPalette(darkPalette());
    application.setFont(programFont());
}

}  // namespace vqs
