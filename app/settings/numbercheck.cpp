#include "numbercheck.h"

#include "app/widgets/messageboxes.h"
#include "app/widgets/qtconvert.h"
#include "common/numberformat.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

namespace dyma::gui {

TNumberCheck::TNumberCheck(QObject* parent) : QObject(parent) {}

void TNumberCheck::Watch(QLineEdit& edit, std::function<void()> left) {
    left_.insert(&edit, std::move(left));
    edit.installEventFilter(this);
    connect(&edit, &QObject::destroyed, this, [this](QObject* gone) { left_.remove(gone); });
}

bool TNumberCheck::Check(QLineEdit& edit) {
    if (CheckNumberField(S(edit.text()), LocaleDecimalSeparator())) return true;
    checking_ = true;
    ShowWarning(QStringLiteral("Wprowadzona wartość nie jest liczbą!"));
    edit.setFocus(Qt::OtherFocusReason);
    // The edit still has to finish its own focus-out, which drops the
    // selection; select once that is done.
    QTimer::singleShot(0, &edit, [&edit] { edit.selectAll(); });
    checking_ = false;
    return false;
}

bool TNumberCheck::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !checking_) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Only a move to another control is "leaving" the edit; another
        // window coming up (the warning itself) is not.
        const bool leaving = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                             reason != Qt::MenuBarFocusReason;
        if (edit && leaving && left_.contains(edit)) {
            Check(*edit);
            // Copied: the callback may close the window that holds the edit.
            const std::function<void()> left = left_.value(edit);
            if (left) left();
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace dyma::gui
