#pragma once

#include "LifeLikeRule.h"

#include <QDialog>

#include <functional>
#include <vector>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

// Run ▸ Rule…: a list of well-known rules by name, a field for any rule,
// checked as it is typed (with the reason when it is not a rule), and the
// world, a bounded plane or a torus. OK is offered only for a rule.
class RuleDialog : public QDialog {
    Q_OBJECT
public:
    struct Named {
        const char* name;
        const char* rule;
    };
    // The well-known rules the list offers, in its order.
    static const std::vector<Named>& wellKnown();

    RuleDialog(QWidget* parent, const LifeLikeRule& current);

    // The rule and world chosen; valid only while the field holds a rule.
    LifeLikeRule chosen() const;

private:
    void check();

    QListWidget* list_;
    QLineEdit* field_;
    QLabel* reason_;
    QRadioButton* plane_;
    QRadioButton* torus_;
    QDialogButtonBox* buttons_;
};
