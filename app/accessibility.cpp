#include "app/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

#include "app/kobalt_window.h"

namespace kobui {

namespace {

constexpr char kValueProperty[] = "kobaltValueLabel";

// A label showing a value: its name says what the value is, its text is
// the value as shown. Read-only text without selection or caret.
class ValueLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ValueLabelAccessible(QLabel* l) : QAccessibleWidget(l, QAccessible::StaticText) {}

    QLabel* label() const { return static_cast<QLabel*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return label()->text();
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // QAccessibleTextInterface
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        const QString t = label()->text();
        if (endOffset < 0 || endOffset > t.size()) endOffset = int(t.size());
        if (startOffset < 0 || startOffset > endOffset) return {};
        return t.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(label()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* w = qobject_cast<KobaltWindow*>(object)) {
        // The main window is the program's frame; every other window is
        // one of its dialogs.
        return new QAccessibleWidget(w, w->mainForm() ? QAccessible::Dialog : QAccessible::Window);
    }
    if (auto* l = qobject_cast<QLabel*>(object); l && l->property(kValueProperty).toBool())
        return new ValueLabelAccessible(l);
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static bool done = false;
    if (done) return;
    done = true;
    QAccessible::installFactory(factory);
}

void setValueLabel(QLabel* label, const QString& name) {
    installAccessibility();
    label->setProperty(kValueProperty, true);
    // An assistive technology that was already listening may have asked for
    // the label while it was built; that description lacks the text.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label);
    if (iface && !iface->textInterface()) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    label->setAccessibleName(name);
}

}  // namespace kobui
