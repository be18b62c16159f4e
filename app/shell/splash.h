// The splash screen shown for two seconds at every start.
#pragma once

#include <QWidget>

#include <chrono>

class QLabel;

namespace dyma::gui {

inline constexpr std::chrono::milliseconds kSplashWait{2000};

class TfmSplash : public QWidget {
public:
    TfmSplash();
    QLabel* Version() const { return version_; }

private:
    QLabel* version_;
};

// Shows the splash, lets pending events run, waits `wait` (2 s in the
// program; tests pass a shorter time), closes it and lets events run again.
// User input is held back while the splash is up.
void ShowSplashScreen(std::chrono::milliseconds wait = kSplashWait);

}  // namespace dyma::gui
