#include "RuleDialog.h"
#include "MessageTranslation.h"

#include "RuleName.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

const std::vector<RuleDialog::Named>& RuleDialog::wellKnown()
{
    static const std::vector<Named> rules{
        {"Life", "B3/S23"},          {"HighLife", "B36/S23"},        {"Day & Night", "B3678/S34678"},
        {"Seeds", "B2/S"},           {"Life without Death", "B3/S012345678"}, {"2x2", "B36/S125"},
        {"Maze", "B3/S12345"},       {"Replicator", "B1357/S1357"},   {"Diamoeba", "B35678/S5678"},
        {"Morley", "B368/S245"},     {"Anneal", "B4678/S35678"},
    };
    return rules;
}

RuleDialog::RuleDialog(QWidget* parent, const LifeLikeRule& current)
    : QDialog(parent), list_(new QListWidget(this)), field_(new QLineEdit(this)), reason_(new QLabel(this)),
      plane_(new QRadioButton(tr("Bounded plane"), this)),
      torus_(new QRadioButton(tr("Torus"), this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(tr("Rule"));
    list_->setObjectName(QStringLiteral("ruleList"));
    field_->setObjectName(QStringLiteral("ruleField"));
    reason_->setObjectName(QStringLiteral("ruleReason"));
    plane_->setObjectName(QStringLiteral("planeButton"));
    torus_->setObjectName(QStringLiteral("torusButton"));
    reason_->setWordWrap(true);
    for (const Named& named : wellKnown())
        list_->addItem(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(named.name), QLatin1String(named.rule)));

    auto* worlds = new QHBoxLayout;
    worlds->addWidget(plane_);
    worlds->addWidget(torus_);
    auto* form = new QFormLayout;
    form->addRow(tr("Rule:"), field_);
    form->addRow(QString(), reason_);
    form->addRow(tr("World:"), worlds);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(form);
    layout->addWidget(buttons_);

    field_->setText(QString::fromStdString(current.name()));
    (current.world == World::Torus ? torus_ : plane_)->setChecked(true);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < int(wellKnown().size()))
            field_->setText(QLatin1String(wellKnown()[std::size_t(row)].rule));
    });
    connect(field_, &QLineEdit::textChanged, this, &RuleDialog::check);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    check();
}

void RuleDialog::check()
{
    const std::string text = field_->text().trimmed().toStdString();
    const ParsedRule parsed = LifeLikeRule::parse(text);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(parsed.ok);
    reason_->setText(parsed.ok ? QString()
                               : tr("\u201c%1\u201d is not a Life-like rule: %2.")
                                     .arg(QString::fromStdString(RuleName::printable(text)),
                                          MessageTranslation::translated(parsed.error)));
    // The list shows the well-known rule the field holds, if any.
    const QSignalBlocker quiet(list_);
    list_->setCurrentRow(-1);
    for (std::size_t i = 0; parsed.ok && i < wellKnown().size(); ++i) {
        if (LifeLikeRule::parse(wellKnown()[i].rule).rule == parsed.rule)
            list_->setCurrentRow(int(i));
    }
}

LifeLikeRule RuleDialog::chosen() const
{
    LifeLikeRule rule = LifeLikeRule::parse(field_->text().trimmed().toStdString()).rule;
    rule.world = torus_->isChecked() ? World::Torus : World::Plane;
    return rule;
}
