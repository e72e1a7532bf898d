#include "ui/JapaneseFont.h"

#include <QApplication>
#include <QFontDatabase>

void useJapaneseFont()
{
    for (const char* family : {"Noto Sans CJK JP", "Noto Sans JP", "IPAGothic"}) {
        if (QFontDatabase::families().contains(QString::fromUtf8(family))) {
            QFont font(QString::fromUtf8(family));
            font.setPointSize(10);
            QApplication::setFont(font);
            return;
        }
    }
}
