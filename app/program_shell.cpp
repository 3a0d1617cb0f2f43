#include "app/program_shell.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QResource>

#include "app/skin_manager.h"

namespace {

struct SkinItem {
    const char* object;
    const char* caption;
    Qt::Key key;
    const char* skin;
};
const SkinItem kSkinItems[] = {
    {"AluminiumSkin1", "Aluminium Skin", Qt::Key_A, "Aluminium (internal)"},
    {"SmokySkin1", "Smoky Skin", Qt::Key_S, "Smoky (internal)"},
    {"BeijingSkin1", "Beijing Skin", Qt::Key_B, "Beijing Ext (internal)"},
    {"VistaSkin1", "Vista Skin", Qt::Key_V, "Vista (internal)"},
    {"WebSkin1", "Web Skin", Qt::Key_W, "WEB (internal)"},
    {"ElegantSkin1", "Elegant Skin", Qt::Key_E, "Elegant (internal)"},
};

}  // namespace

ProgramShell::ProgramShell(KobaltDeps deps)
    : deps_(std::move(deps)),
      settings_(deps_.settingsLocation),
      skins_(std::make_unique<SkinManager>()),
      menu_(std::make_unique<QMenu>()) {
    skins_->setObjectName(QStringLiteral("SkinMen"));
    menu_->setObjectName(QStringLiteral("PopupMenu1"));
    for (const SkinItem& item : kSkinItems) {
        auto* a = new QAction(QString::fromUtf8(item.caption), menu_.get());
        a->setObjectName(QString::fromLatin1(item.object));
        a->setShortcut(QKeySequence(Qt::CTRL | item.key));
        a->setShortcutContext(Qt::WindowShortcut);
        const QString skin = QString::fromLatin1(item.skin);
        QObject::connect(a, &QAction::triggered, skins_.get(), [this, skin] { skins_->setSkinName(skin); });
        menu_->addAction(a);
    }
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
