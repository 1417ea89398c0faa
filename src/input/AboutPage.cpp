#include "input/AboutPage.h"

#include "pretty/FontMap.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvenda {

AboutPage::AboutPage(QWidget* parent)
    : QWidget(parent), version_(new QLabel(this)), done_(new QPushButton(QStringLiteral("Done"), this))
{
    setAutoFillBackground(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(12);
    auto* name = new QLabel(QStringLiteral("Orvenda"), this);
    name->setFont(FontMap::shared().font("Helvetica-Bold", 24));
    name->setAlignment(Qt::AlignCenter);
    auto* what = new QLabel(QStringLiteral("A graphing scientific calculator for students, teachers and engineers."), this);
    what->setFont(FontMap::shared().font("Helvetica", 15));
    what->setWordWrap(true);
    what->setAlignment(Qt::AlignCenter);
    version_->setFont(FontMap::shared().font("Helvetica", 15));
    version_->setAlignment(Qt::AlignCenter);
    done_->setFocusPolicy(Qt::NoFocus);
    column->addStretch();
    column->addWidget(name);
    column->addWidget(what);
    column->addWidget(version_);
    column->addWidget(done_, 0, Qt::AlignCenter);
    const QString titles[] = {QStringLiteral("Ask a Question"), QStringLiteral("Report a Bug"), QStringLiteral("Leave a Review")};
    for (int action = 0; action < 3; ++action) {
        auto* button = new QPushButton(titles[action], this);
        button->setFocusPolicy(Qt::NoFocus);
        support_[static_cast<std::size_t>(action)] = button;
        column->addWidget(button, 0, Qt::AlignCenter);
        connect(button, &QPushButton::clicked, this, [this, action] {
            if (support)
                support(action);
        });
    }
    column->addStretch(2);
    connect(done_, &QPushButton::clicked, this, [this] {
        if (closed)
            closed();
    });
}

void AboutPage::setVersion(const QString& version) { version_->setText(QStringLiteral("version %1").arg(version)); }

QString AboutPage::versionText() const { return version_->text(); }

} // namespace orvenda
