#include "app/dark_theme.h"

#include <QPalette>

namespace vqs {

void applyDarkTheme(QWidget& window) {
    QPalette p = window.palette();
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
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x90, 0x90, 0x90));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x90, 0x90, 0x90));
    window.setPalette(p);
    window.setAutoFillBackground(true);

    // Tahoma where installed; its metric stand-ins otherwise.
    QFont font(QStringLiteral("Tahoma"));
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    window.setFont(font);
}

}  // namespace vqs
