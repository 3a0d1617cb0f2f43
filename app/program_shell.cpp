// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/program_shell.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QResource>

#include "app/skin_manager.h"
#include "app/skin_table.h"
#include "kit/cue.h"
#include "settings/settings_saver.h"

ProgramShell::ProgramShell(KobaltDeps deps)
    : deps_(std::move(deps)),
      settings_(deps_.settingsLocation),
      skins_(std::make_unique<SkinManager>()),
      menu_(std::make_unique<QMenu>()) {
    skins_->setObjectName(QStringLiteral("SkinMen"));
    menu_->setObjectName(QStringLiteral("PopupMenu1"));
    // One item per row of the skin table, in its order.
    menu_->addActions(skins::createActions(skins_.get(), menu_.get()));
    settings_.saveInBackground([this] {
        // On the saver's thread.
        QMetaObject::invokeMethod(&windowThread_, [this] { reportRefusal(); }, Qt::QueuedConnection);
    });
}

ProgramShell::~ProgramShell() = default;

QMenu* ProgramShell::skinMenu() const { return menu_.get(); }

QList<QAction*> ProgramShell::skinActions() const { return menu_->actions(); }

void ProgramShell::Szoveg(kob::Cue cue) {
    if (!deps_.player) return;
    const kob::CueClip& c = kob::cueClip(cue);
    QResource res(QStringLiteral(":/sounds/%1").arg(QLatin1String(c.clip)));
    // Played in place: a clip missing or stored compressed plays nothing.
    if (!res.isValid() || res.compressionAlgorithm() != QResource::NoCompression) return;
    deps_.player->play(c.name, reinterpret_cast<const std::uint8_t*>(res.data()), size_t(res.size()));
}

std::unique_ptr<kob::RandomSource> ProgramShell::makeRandom() {
    if (deps_.makeRandom) return deps_.makeRandom();
    return std::make_unique<kob::ClockRandom>();
}

void ProgramShell::reportRefusal() {
    if (const auto r = settings_.saver()->takeRefusal()) reportWriteResult(*r);
}

void ProgramShell::finishSaves(std::chrono::milliseconds limit) {
    settings_.saver()->finish(limit);
    reportRefusal();
}

void ProgramShell::reportWriteResult(const kob::WriteResult& r) {
    if (r.ok) return;
    const QString msg = QString::fromStdString(r.message);
    if (deps_.reportError) {
        deps_.reportError(msg);
    } else {
        QWidget* owner = messageOwner_ && messageOwner_->isVisible() ? messageOwner_.data() : nullptr;
        QMessageBox::warning(owner, QStringLiteral("Kobaltfa"), msg);
    }
}
