#include "app/AppLauncher.h"

#include "app/AppDelegate.h"
#include "app/AppShell.h"
#include "app/SceneDelegate.h"
#include "app/StandInRoot.h"
#include "core/Calculator.h"
#include "core/services/GDBManager.h"
#include "graphui/GDBStore.h"
#include "graphui/YEqModel.h"

#include <QApplication>
#include <QWidget>

namespace orvenda {

AppLauncher::AppLauncher(QApplication& app, const Options& options)
    : calc_(Calculator::calculator())
{
    // The managers go in before the state is restored: their archives go to them.
    auto equations = std::make_shared<YEqModel>(calc_);
    calc_.yEqManager = equations;
    GDBManager::setShared(std::make_shared<GDBStore>(calc_, equations, (options.dataFolder + "/GDB").toStdString()));
    delegate_ = std::make_unique<AppDelegate>(calc_, options.dataFolder);
    delegate_->watch(app);
    shell_ = std::make_unique<AppShell>(calc_);
    root_ = std::make_shared<StandInRoot>(calc_, options.size);
    calc_.viewDelegate = root_;

    if (!options.firstRunGreeting)
        calc_.firstTime = false;
    if (auto greeting = SceneDelegate::willConnect(calc_, options.tablet)) {
        StandInRoot::Alert alert{QString::fromStdString(greeting->title), QString::fromStdString(greeting->message), {}};
        for (const SceneDelegate::Button& button : greeting->buttons)
            alert.buttons.emplace_back(QString::fromStdString(button.title), nullptr);
        root_->alert(std::move(alert));
    }
    if (auto report = delegate_->takeStartupReport())
        root_->alert({QStringLiteral("Orvenda"), *report, {{QStringLiteral("OK"), nullptr}}});
    root_->window().show();
}

AppLauncher::~AppLauncher()
{
    calc_.viewDelegate = nullptr;
    shell_.reset();
    delegate_.reset();
    GDBManager::setShared(nullptr);
}

} // namespace orvenda
