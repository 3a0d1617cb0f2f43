// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "kit/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>


namespace kobui {

namespace {

constexpr char kWindowProperty[] = "kobaltWindowRole";
constexpr char kValueProperty[] = "kobaltValueLabel";
constexpr char kLogProperty[] = "kobaltAnswerLog";
constexpr char kKeysProperty[] = "kobaltButtonKeys";

// A control whose shown text is read through one of its properties: a label
// showing a value (its name says what the value is, its text is the value
// as shown) or an answer log (its lines). Read-only text without selection
// or caret.
class ShownTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    ShownTextAccessible(QWidget* w, QAccessible::Role role, const char* property)
        : QAccessibleWidget(w, role), property_(property) {}

    QString shown() const { return widget()->property(property_).toString(); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return shown();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (widget()->property("readOnly").toBool()) s.readOnly = true;
        return s;
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
        const QString t = shown();
        if (endOffset < 0 || endOffset > t.size()) endOffset = int(t.size());
        if (startOffset < 0 || startOffset > endOffset) return {};
        return t.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shown().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    const char* property_;
};

// A push button whose press action names all the keys that press it. The
// rest is what the toolkit tells of any push button: its name, the default
// button's state, pressing it.
class KeyedButtonAccessible : public QAccessibleWidget {
public:
    explicit KeyedButtonAccessible(QPushButton* b) : QAccessibleWidget(b, QAccessible::Button) {}

    QPushButton* button() const { return static_cast<QPushButton*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty())
            return QString(button()->text()).remove(QLatin1Char('&'));
        if (t == QAccessible::Accelerator) {
            // As for any push button: Enter for the default one, otherwise
            // its Alt accelerator.
            const QKeySequence k = button()->isDefault() ? QKeySequence(Qt::Key_Enter)
                                                         : QKeySequence::mnemonic(button()->text());
            return k.toString(QKeySequence::NativeText);
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (button()->isDown()) s.pressed = true;
        if (button()->isDefault()) s.defaultButton = true;
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        if (button()->isEnabled()) button()->animateClick();
    }

    QStringList keyBindingsForAction(const QString& action) const override {
        if (action == pressAction()) return button()->property(kKeysProperty).toStringList();
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* w = qobject_cast<QWidget*>(object); w && w->property(kWindowProperty).isValid()) {
        // The main window is the program's frame; every other window is
        // one of its dialogs.
        const bool dialog = w->property(kWindowProperty).toBool();
        return new QAccessibleWidget(w, dialog ? QAccessible::Dialog : QAccessible::Window);
    }
    if (auto* l = qobject_cast<QLabel*>(object); l && l->property(kValueProperty).toBool())
        return new ShownTextAccessible(l, QAccessible::StaticText, "text");
    if (auto* b = qobject_cast<QPushButton*>(object); b && b->property(kKeysProperty).isValid())
        return new KeyedButtonAccessible(b);
    if (auto* w = qobject_cast<QWidget*>(object); w && w->property(kLogProperty).toBool())
        return new ShownTextAccessible(w, QAccessible::EditableText, "plainText");
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static bool done = false;
    if (done) return;
    done = true;
    QAccessible::installFactory(factory);
}

void setWindowRole(QWidget* window, bool dialog) {
    installAccessibility();
    window->setProperty(kWindowProperty, dialog);
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

void setButtonKeys(QPushButton* button, const QStringList& keys) {
    installAccessibility();
    button->setProperty(kKeysProperty, keys);
    // Drop a description made before the keys were known.
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
        iface && !dynamic_cast<KeyedButtonAccessible*>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

void setAnswerLogText(QWidget* log) {
    installAccessibility();
    log->setProperty(kLogProperty, true);
}

}  // namespace kobui
