#include "app/ReplayBar.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>
#include <QToolButton>

#include "app/GuardedConnect.h"
#include "app/PanelWidgets.h"
#include "l10n/OscMessages.h"
#include "link/qt/ZelvoReplayConnection.h"

namespace {

constexpr int CBarHeight = 26;
constexpr int CRefreshInterval = 100; // ms

} // namespace

TReplayBar::TReplayBar(TZelvoReplayConnection& Replay, QWidget* Parent)
    : QFrame(Parent), FReplay(&Replay), FObserver(std::make_unique<TZelvoConnectionObserver>()) {
  setObjectName("pnlReplay");
  setFixedHeight(CBarHeight);
  auto* Row = new QHBoxLayout(this);
  Row->setContentsMargins(4, 1, 4, 1);
  Row->setSpacing(4);

  FName = new QLabel(this);
  FName->setObjectName("lblReplayName");
  FPause = MakePanelButton(tr("Pause"), 64, CBarHeight - 2, true, this);
  FPause->setObjectName("btnReplayPause");
  FStep = MakePanelButton(tr("Step"), 64, CBarHeight - 2, false, this);
  FStep->setObjectName("btnReplayStep");
  FStep->setToolTip(tr("Play up to the end of the next capture, then pause"));
  FSpeed = new QComboBox(this);
  FSpeed->setObjectName("cbReplaySpeed");
  FSpeed->setFocusPolicy(Qt::NoFocus);
  for (const double Speed : CSpeeds)
    FSpeed->addItem(tr("%1x").arg(QLocale().toString(Speed)), Speed);
  FPosition = MakeValuePanel(QString(), this);
  FPosition->setObjectName("lblReplayPosition");
  FPosition->setMinimumWidth(180);
  Row->addWidget(FName, 1);
  Row->addWidget(FPause);
  Row->addWidget(FStep);
  Row->addWidget(FSpeed);
  Row->addWidget(FPosition);

  ConnectGuarded(FPause, &QToolButton::clicked, this, [this](bool Paused) {
    Paused ? FReplay->Pause() : FReplay->Resume();
    Report();
  });
  ConnectGuarded(FStep, &QToolButton::clicked, this, [this] {
    FReplay->Step();
    Report();
  });
  ConnectGuarded(FSpeed, &QComboBox::currentIndexChanged, this, [this](int Index) {
    FReplay->SetSpeed(FSpeed->itemData(Index).toDouble());
    Report();
  });
  FRefresh.setInterval(CRefreshInterval);
  ConnectGuarded(&FRefresh, &QTimer::timeout, this, [this] { ShowPosition(); });

  FObserver->SetOnConnect([this](TZelvoConnection*) { Report(); });
  FObserver->SetOnDisconnect([this](TZelvoConnection*) { Report(); });
  FObserver->SetOnConnectionDestroy([this](TZelvoConnection*) { FReplay = nullptr; });
  FReplay->RegisterObserver(FObserver.get());
  FReplay->SetOnFinished([this](TZelvoConnection*) { Report(); });
  Visualize();
}

TReplayBar::~TReplayBar() {
  if (FReplay != nullptr)
    FReplay->SetOnFinished({});
}

QString TReplayBar::Text() const {
  if (!FReplay->Connected())
    return tr("Replay stopped");
  if (!FReplay->Error().empty())
    return tr("Replay ended: %1")
        .arg(OscTranslatedMessage(QString::fromStdString(FReplay->Error())));
  if (FReplay->Finished())
    return FReplay->DroppedBytes() > 0 ? tr("Replay finished; the last %1 bytes were cut short")
                                             .arg(FReplay->DroppedBytes())
                                       : tr("Replay finished");
  return FReplay->Paused() ? tr("Replay paused") : tr("Replay playing");
}

bool TReplayBar::Trouble() const {
  return FReplay->Connected() && !FReplay->Error().empty();
}

void TReplayBar::Report() {
  Visualize();
  emit Changed();
}

void TReplayBar::Visualize() {
  const bool Up = FReplay->Connected();
  setVisible(Up);
  const QString File = QString::fromStdString(FReplay->FileName());
  FName->setText(tr("Replay of %1").arg(QFileInfo(File).fileName()));
  FName->setToolTip(File);
  const bool Playable = Up && !FReplay->Finished();
  FPause->setEnabled(Playable);
  FPause->setChecked(FReplay->Paused());
  FStep->setEnabled(Playable);
  {
    const QSignalBlocker Quiet(FSpeed);
    FSpeed->setCurrentIndex(FSpeed->findData(FReplay->Speed()));
  }
  if (Playable && !FReplay->Paused())
    FRefresh.start();
  else
    FRefresh.stop();
  ShowPosition();
}

void TReplayBar::ShowPosition() {
  const QString Seconds =
      QLocale().toString(static_cast<double>(FReplay->Position()) / 1e6, 'f', 1);
  FPosition->setText(FReplay->Finished()
                         ? tr("%1 s, %2 frames, end").arg(Seconds).arg(FReplay->FramesPlayed())
                         : tr("%1 s, %2 frames").arg(Seconds).arg(FReplay->FramesPlayed()));
}
