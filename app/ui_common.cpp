#include "app/ui_common.h"

#include <QFontDatabase>

namespace kobui {

QFont arialFont(int pixels, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QFont sansFont(int pixels) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(pixels);
    return f;
}

void installFontSubstitutions() {
    // fontconfig would map "MS Sans Serif" to a wider face; keep the metrics.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

QPushButton* makeButton(QWidget* parent, const QString& object, const QString& caption,
                        const QRect& rect, const QFont& font) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(object);
    b->setGeometry(rect);
    b->setFont(font);
    b->setCursor(Qt::PointingHandCursor);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    b->setAutoDefault(false);
    return b;
}

QLabel* makeLabel(QWidget* parent, const QString& object, const QString& text, const QRect& rect,
                  const QFont& font, Qt::Alignment align) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(object);
    l->setGeometry(rect);
    l->setFont(font);
    l->setAlignment(align);
    l->setTextFormat(Qt::PlainText);
    return l;
}

void setTextColour(QWidget* w, const QColor& c) {
    w->setStyleSheet(QStringLiteral("color: %1;").arg(c.name()));
}

}  // namespace kobui
