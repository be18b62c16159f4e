// The number check of numeric edits: when the operator leaves one, its text
// must convert (trimmed, upper-cased, empty as "0", either decimal
// separator). A text that does not gives the warning "Wprowadzona wartość
// nie jest liczbą!", and the focus goes back to the edit with its text
// selected. The preferences dialog and the seismogram window's data page
// watch their edits with it.
#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QLineEdit;

namespace dyma::gui {

class TNumberCheck : public QObject {
public:
    explicit TNumberCheck(QObject* parent = nullptr);

    // `left` runs after every check of the edit, passed or failed.
    void Watch(QLineEdit& edit, std::function<void()> left = {});

    // The check itself; true when the text is a number.
    bool Check(QLineEdit& edit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<QObject*, std::function<void()>> left_;
    bool checking_ = false;
};

}  // namespace dyma::gui
