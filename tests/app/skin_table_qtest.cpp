// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The skin table: every row fills the whole style sheet template and finds
// its pictures, the rows' names, captions, action names and keys are
// distinct, and the skin menu and the shortcut filter are made from it.
#include <QAction>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSet>
#include <QtTest>

#include "app/app_filters.h"
#include "app/skin_manager.h"
#include "app/skin_table.h"

class SkinTableTest : public QObject {
    Q_OBJECT
private slots:
    void everyRowFillsEveryPlaceholder();
    void aMissingValueIsReported();
    void everyRowsPicturesExist();
    void rowsAreDistinct();
    void menuItemsFollowTheTable();
    void shortcutFilterTakesItsKeysFromTheTable();
};

void SkinTableTest::everyRowFillsEveryPlaceholder() {
    const QString tmpl = skins::sheetTemplate();
    QVERIFY(tmpl.contains(QLatin1String("${button-face}")));
    for (const SkinRow& row : skins::table()) {
        const skins::FilledSheet s = skins::fill(tmpl, row);
        QVERIFY2(s.unfilled.isEmpty(), qPrintable(QLatin1String(row.name) + QLatin1String(": ") + s.unfilled.join(u' ')));
        QVERIFY2(s.unused.isEmpty(), qPrintable(QLatin1String(row.name) + QLatin1String(": ") + s.unused.join(u' ')));
        QVERIFY2(!s.text.contains(QLatin1String("${")), row.name);
        // Every rule kept has declarations; the comments are gone.
        QVERIFY(!s.text.contains(QRegularExpression(QStringLiteral("\\{\\s*\\}"))));
        QVERIFY(!s.text.contains(QLatin1String("/*")));
        QCOMPARE(SkinManager::styleSheet(QString::fromUtf8(row.name)), s.text);
    }
}

void SkinTableTest::aMissingValueIsReported() {
    // A row that lacks one role keeps the placeholder and names it; a role
    // the template does not ask for is named as unused.
    SkinRow row = skins::table().front();
    const auto it = std::find_if(row.sheet.begin(), row.sheet.end(),
                                 [](const SkinSlot& s) { return qstrcmp(s.role, "focus-rim") == 0; });
    QVERIFY(it != row.sheet.end());
    row.sheet.erase(it);
    row.sheet.push_back({"no-such-role", "1px"});
    const skins::FilledSheet s = skins::fill(skins::sheetTemplate(), row);
    QCOMPARE(s.unfilled, QStringList{QStringLiteral("focus-rim")});
    QCOMPARE(s.unused, QStringList{QStringLiteral("no-such-role")});
    QVERIFY(s.text.contains(QLatin1String("${focus-rim}")));
    // A declaration list left empty drops its rule: Aluminium has no card.
    QVERIFY(!skins::fill(skins::sheetTemplate(), skins::table().front()).text.contains(QLatin1String("ink=")));
    QVERIFY(SkinManager::styleSheet(QStringLiteral("Smoky (internal)")).contains(QLatin1String("QLabel[ink=\"dark\"]")));
}

void SkinTableTest::everyRowsPicturesExist() {
    int textures = 0;
    for (const SkinRow& row : skins::table()) {
        for (const char* glyph : {"up", "down", "left", "right", "tick"}) {
            const QString path = QStringLiteral(":/pictures/%1-%2.png").arg(QLatin1String(row.glyphs), QLatin1String(glyph));
            QVERIFY2(!QImage(path).isNull(), qPrintable(path));
        }
        if (row.texture) {
            const QString path = QStringLiteral(":/pictures/%1-%2.png").arg(QLatin1String(row.glyphs), QLatin1String(row.texture));
            QVERIFY2(!QImage(path).isNull(), qPrintable(path));
            QVERIFY(SkinManager::styleSheet(QString::fromUtf8(row.name)).contains(path));
            ++textures;
        }
    }
    QVERIFY(textures > 0);
}

void SkinTableTest::rowsAreDistinct() {
    QSet<QString> names, captions, actions, glyphs;
    QSet<int> keys;
    for (const SkinRow& row : skins::table()) {
        names << QString::fromUtf8(row.name);
        captions << QString::fromUtf8(row.caption);
        actions << QString::fromLatin1(row.action);
        glyphs << QString::fromLatin1(row.glyphs);
        keys << row.key;
    }
    const qsizetype n = qsizetype(skins::table().size());
    QCOMPARE(names.size(), n);
    QCOMPARE(captions.size(), n);
    QCOMPARE(actions.size(), n);
    QCOMPARE(glyphs.size(), n);
    QCOMPARE(keys.size(), n);
    QCOMPARE(QString::fromUtf8(skins::table().front().name), SkinManager::defaultName());
}

void SkinTableTest::menuItemsFollowTheTable() {
    SkinManager m;
    QObject owner;
    const QList<QAction*> actions = skins::createActions(&m, &owner);
    QCOMPARE(qsizetype(actions.size()), qsizetype(skins::table().size()));
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const SkinRow& row = skins::table()[size_t(i)];
        QAction* a = actions[i];
        QCOMPARE(a->parent(), &owner);
        QCOMPARE(a->objectName(), QLatin1String(row.action));
        QCOMPARE(a->text(), QString::fromUtf8(row.caption));
        QCOMPARE(a->shortcut(), QKeySequence(Qt::CTRL | row.key));
        QCOMPARE(a->shortcutContext(), Qt::WindowShortcut);
    }
    // Triggered in reverse, each sets its own row's name.
    for (qsizetype i = actions.size() - 1; i >= 0; --i) {
        actions[i]->trigger();
        QCOMPARE(m.skinName(), QString::fromUtf8(skins::table()[size_t(i)].name));
    }
}

void SkinTableTest::shortcutFilterTakesItsKeysFromTheTable() {
    SkinShortcutFilter fromTable;
    QCOMPARE(fromTable.keys(), skins::shortcutKeys());
    QCOMPARE(qsizetype(skins::shortcutKeys().size()), qsizetype(skins::table().size()));

    // A text field claims Ctrl+A and Ctrl+V for itself; with the filter the
    // claim is turned down for every skin key, and only for those.
    QLineEdit field;
    auto claimed = [&field](int key, Qt::KeyboardModifiers mods) {
        QKeyEvent e(QEvent::ShortcutOverride, key, mods);
        e.setAccepted(false);
        QCoreApplication::sendEvent(&field, &e);
        return e.isAccepted();
    };
    QVERIFY(claimed(Qt::Key_A, Qt::ControlModifier));
    QVERIFY(claimed(Qt::Key_V, Qt::ControlModifier));
    field.installEventFilter(&fromTable);
    for (const SkinRow& row : skins::table()) QVERIFY2(!claimed(row.key, Qt::ControlModifier), row.name);
    QVERIFY(claimed(Qt::Key_C, Qt::ControlModifier));
    field.removeEventFilter(&fromTable);

    // The filter knows no key of its own: given another list, it holds
    // back that list's chords and leaves Ctrl+A to the field.
    SkinShortcutFilter other({Qt::Key_C}, nullptr);
    field.installEventFilter(&other);
    QVERIFY(!claimed(Qt::Key_C, Qt::ControlModifier));
    QVERIFY(claimed(Qt::Key_A, Qt::ControlModifier));
}

QTEST_MAIN(SkinTableTest)
#include "skin_table_qtest.moc"
