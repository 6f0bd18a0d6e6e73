#pragma once

// Observer lists of the model. A subject keeps non-owning references to its
// observers and notifies them in registration order. The link is known on both
// sides, so whichever of subject and observer is destroyed first unhooks
// itself from the other: no observer is ever called after its destruction, and
// no observer keeps a dangling subject.

#include <algorithm>
#include <functional>
#include <vector>

#include "osc/OscTypes.h"

template <class TSender> class TOscObserverList;

template <class TSender> class TOscObserverBase {
public:
  using TOnChange = std::function<void(TSender* Sender, TOscDeviceProperties Changes)>;
  using TOnFree = std::function<void(TSender* Sender)>;

  TOscObserverBase() = default;
  explicit TOscObserverBase(TOnChange OnChange) : FOnChange(std::move(OnChange)) {}
  TOscObserverBase(const TOscObserverBase&) = delete;
  TOscObserverBase& operator=(const TOscObserverBase&) = delete;
  ~TOscObserverBase() {
    while (!FSubjects.empty())
      FSubjects.back()->Unregister(this);
  }

  const TOnChange& OnChange() const { return FOnChange; }
  void SetOnChange(TOnChange Value) { FOnChange = std::move(Value); }
  // Called when the subject starts to be destroyed, while it is still whole,
  // so that whoever holds a link to it can drop the link.
  const TOnFree& OnFree() const { return FOnFree; }
  void SetOnFree(TOnFree Value) { FOnFree = std::move(Value); }

private:
  friend class TOscObserverList<TSender>;
  TOnChange FOnChange;
  TOnFree FOnFree;
  std::vector<TOscObserverList<TSender>*> FSubjects; // one entry per registration
};

template <class TSender> class TOscObserverList {
public:
  using TObserver = TOscObserverBase<TSender>;

  TOscObserverList() = default;
  TOscObserverList(const TOscObserverList&) = delete;
  TOscObserverList& operator=(const TOscObserverList&) = delete;
  ~TOscObserverList() {
    for (TObserver* O : FItems)
      EraseFirst(O->FSubjects, this);
  }

  // The same observer may be registered twice; it is then notified twice.
  void Register(TObserver* Observer) {
    if (Observer == nullptr)
      throw EOscInvalidArgumentError(SArgumentNull);
    FItems.push_back(Observer);
    Observer->FSubjects.push_back(this);
  }

  // Removes the first registration; an observer that is not there is ignored.
  void Unregister(TObserver* Observer) {
    if (Observer == nullptr)
      throw EOscInvalidArgumentError(SArgumentNull);
    if (EraseFirst(FItems, Observer))
      EraseFirst(Observer->FSubjects, this);
  }

  // The loop takes the number of observers when it starts. Observers must not
  // change the list from inside a notification; if one does anyway, the loop
  // stops at the list's end instead of reading past it.
  void Notify(TSender* Sender, TOscDeviceProperties Changes) {
    const std::size_t N = FItems.size();
    for (std::size_t I = 0; I < N && I < FItems.size(); ++I) {
      TObserver* O = FItems[I];
      if (O->FOnChange)
        O->FOnChange(Sender, Changes);
    }
  }

  // The free notification: observers commonly unregister from inside it, so
  // it walks a copy and skips whoever left meanwhile.
  void NotifyFree(TSender* Sender) {
    const std::vector<TObserver*> Items = FItems;
    for (TObserver* O : Items)
      if (std::find(FItems.begin(), FItems.end(), O) != FItems.end() && O->FOnFree)
        O->FOnFree(Sender);
  }

  std::size_t Count() const { return FItems.size(); }

private:
  template <class T, class V> static bool EraseFirst(std::vector<T>& Items, V Value) {
    auto It = std::find(Items.begin(), Items.end(), Value);
    if (It == Items.end())
      return false;
    Items.erase(It);
    return true;
  }

  std::vector<TObserver*> FItems;
};

class TOscSignal;
class TOscDevice;

class TOscSignalObserver : public TOscObserverBase<TOscSignal> {
public:
  using TOscObserverBase::TOscObserverBase;
};

class TOscDeviceObserver : public TOscObserverBase<TOscDevice> {
public:
  using TOscObserverBase::TOscObserverBase;
};
