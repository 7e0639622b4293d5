// The about box on QDialog.
#include "frame/qt/AboutDialog.h"

#include "platform/qt/DialogControls.h"
#include "Interpreter/MacroLib.h"
#include "frame/Application.h"
#include "frame/qt/ProgramIcon.h"
#include "resources/StringTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

namespace varlin {
namespace {

constexpr int kCaption = 3360;
constexpr int kVersionText = 3361;
constexpr int kModulesText = 3362;
constexpr int kProgramModule = 3363;
constexpr int kInterpreterModule = 3364;
constexpr int kQtModule = 3365;
constexpr int kCompilerModule = 3366;
constexpr int kRightsText = 3367;
constexpr int kInstalledForText = 3368;
constexpr int kOkText = 3369;

QString UserName() {
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty()) name = qEnvironmentVariable("USERNAME");
    return name;
}

QString CompilerText() {
#if defined(__clang__)
    return QStringLiteral("Clang %1.%2").arg(__clang_major__).arg(__clang_minor__);
#elif defined(__GNUC__)
    return QStringLiteral("GCC %1.%2").arg(__GNUC__).arg(__GNUC_MINOR__);
#elif defined(_MSC_VER)
    return QStringLiteral("MSVC %1").arg(_MSC_VER);
#else
    return QStringLiteral("?");
#endif
}

}  // namespace

QStringList AboutModuleLines() {
    return {
        AppText(kProgramModule).arg(QStringLiteral(VARLIN_VERSION)),
        AppText(kInterpreterModule).arg(MACROLIB_VERSION),
        AppText(kQtModule).arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR)),
        AppText(kCompilerModule).arg(CompilerText()),
    };
}

AboutDialog::AboutDialog(const Application& app, QWidget* parent) : QDialog(parent) {
    setWindowTitle(AppText(kCaption));
    auto* layout = new QHBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    layout->addWidget(icon);
    auto* column = new QVBoxLayout;
    auto* title = new QLabel(QString::fromStdString(app.title), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    column->addWidget(title);
    column->addWidget(new QLabel(AppText(kVersionText).arg(QString::fromStdString(app.version)), this));
    column->addSpacing(8);
    column->addWidget(new QLabel(AppText(kModulesText), this));
    auto* modules = new QLabel("  " + AboutModuleLines().join("\n  "), this);
    modules->setObjectName(QStringLiteral("modules"));
    modules->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(modules);
    column->addSpacing(8);
    column->addWidget(new QLabel(AppText(kRightsText), this));
    const QString user = UserName();
    if (!user.isEmpty()) column->addWidget(new QLabel(AppText(kInstalledForText).arg(user), this));
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(AppText(kOkText), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addStretch();
    buttons->addWidget(ok);
    column->addStretch();
    column->addLayout(buttons);
    layout->addLayout(column);
}

}  // namespace varlin
