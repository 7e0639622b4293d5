// The language dialog and the switch of the running program.
#include "frame/qt/LanguageDialog.h"

#include "platform/qt/DialogControls.h"
#include "frame/Application.h"
#include "frame/CommonCommands.h"
#include "frame/qt/MainFrame.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLibraryInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTranslator>
#include <QVBoxLayout>

namespace varlin {
namespace {

constexpr int kCaption = 3400;
constexpr int kGroupText = 3401;
constexpr int kGermanText = 3402;
constexpr int kEnglishText = 3403;
constexpr int kOkText = 3404;
constexpr int kCancelText = 3405;

QTranslator* g_qtTranslator = nullptr;

}  // namespace

LanguageDialog::LanguageDialog(LanguageChoice& choice, QWidget* parent) : QDialog(parent) {
    setWindowTitle(AppText(kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(AppText(kGroupText), this);
    auto* radios = new QVBoxLayout(group);
    auto* german = new QRadioButton(AppText(kGermanText), group);
    auto* english = new QRadioButton(AppText(kEnglishText), group);
    german->setObjectName(QString::number(kLanguageGerman));
    english->setObjectName(QString::number(kLanguageEnglish));
    radios->addWidget(german);
    radios->addWidget(english);
    (choice.current == kLanguageEnglish ? english : german)->setChecked(true);
    layout->addWidget(group);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(AppText(kOkText), this);
    auto* cancel = new QPushButton(AppText(kCancelText), this);
    ok->setObjectName(QStringLiteral("1"));
    cancel->setObjectName(QStringLiteral("2"));
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this, &choice, english] {
        choice.chosen = english->isChecked() ? kLanguageEnglish : kLanguageGerman;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void RegisterLanguageDialog() {
    RegisterQtDialog(DialogId::Language, [](QWidget* parent, void* record) {
        LanguageDialog dialog(*static_cast<LanguageChoice*>(record), parent);
        return dialog.exec() == QDialog::Accepted ? 1 : 2;
    });
}

void UseQtTranslation(int language) {
    if (g_qtTranslator) {
        QCoreApplication::removeTranslator(g_qtTranslator);
        delete g_qtTranslator;
        g_qtTranslator = nullptr;
    }
    if (language != kLanguageGerman) return;
    auto* translator = new QTranslator;
    if (translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        g_qtTranslator = translator;
    } else {
        delete translator;
    }
}

void ApplyLanguage(MainFrame& frame) {
    UseQtTranslation(GetAppLanguage());
    // Every widget hears of it, also where Qt's catalogue did not change (one missing).
    QEvent change(QEvent::LanguageChange);
    for (QWidget* w : QApplication::allWidgets()) QCoreApplication::sendEvent(w, &change);
    frame.RetranslateMenus();  // also refreshes the toolbar's tips and the status line
}

}  // namespace varlin
