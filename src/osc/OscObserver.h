#pragma once

// Observer bookkeeping shared by every subject of the program (device,
// channels, skin, frame limiter, connections). A subject keeps non-owning
// references to its observers and notifies them in registration order. The
// link is known on both sides, so whichever of subject and observer is
// destroyed first unhooks itself from the other: no observer is ever called
// after its destruction, and no observer keeps a dangling subject.

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "osc/OscTypes.h"

template <class TObserver> class TOscObserverRegistry;

namespace OscObserverDetail {
template <class T, class V> bool EraseFirst(std::vector<T>& Items, V Value) {
  auto It = std::find(Items.begin(), Items.end(), Value);
  if (It == Items.end())
    return false;
  Items.erase(It);
  return true;
}
} // namespace OscObserverDetail

// Public base of an observer class TObserver: remembers the registries the
// observer is in and leaves them when it is destroyed.
template <class TObserver> class TOscObserverLink {
public:
  TOscObserverLink(const TOscObserverLink&) = delete;
  TOscObserverLink& operator=(const TOscObserverLink&) = delete;

protected:
  TOscObserverLink() = default;
  ~TOscObserverLink() {
    while (!FRegistries.empty())
      FRegistries.back()->Remove(this);
  }

private:
  friend class TOscObserverRegistry<TObserver>;
  std::vector<TOscObserverRegistry<TObserver>*> FRegistries; // one entry per registration
};

// The bookkeeping under TOscSubject; it takes only real observers.
template <class TObserver> class TOscObserverRegistry {
  using TLink = TOscObserverLink<TObserver>;

public:
  TOscObserverRegistry() = default;
  TOscObserverRegistry(const TOscObserverRegistry&) = delete;
  TOscObserverRegistry& operator=(const TOscObserverRegistry&) = delete;
  ~TOscObserverRegistry() {
    for (TLink* L : FItems)
      OscObserverDetail::EraseFirst(L->FRegistries, this);
  }

  // The same observer may be registered twice; it is then notified twice.
  void Register(TObserver* Observer) {
    TLink* L = Observer;
    FItems.push_back(L);
    L->FRegistries.push_back(this);
  }

  // Removes the first registration; false when there is none.
  bool Unregister(TObserver* Observer) { return Remove(Observer); }

  // Calls Call(observer) for every registration in order. The count is taken
  // when the loop starts; should an observer leave from inside anyway, the
  // loop stops at the list's end instead of reading past it.
  template <class TCall> void Notify(TCall&& Call) {
    const std::size_t N = FItems.size();
    for (std::size_t I = 0; I < N && I < FItems.size(); ++I)
      Call(*static_cast<TObserver*>(FItems[I]));
  }

  // The free notification of a subject going away: drops every registration,
  // then calls OnFree(observer) once per observer, in registration order.
  template <class TCall> void Release(TCall&& OnFree) {
    std::vector<TLink*> Items;
    Items.swap(FItems);
    for (TLink* L : Items)
      OscObserverDetail::EraseFirst(L->FRegistries, this);
    for (auto It = Items.begin(); It != Items.end(); ++It)
      if (std::find(Items.begin(), It, *It) == It)
        OnFree(*static_cast<TObserver*>(*It));
  }

  std::size_t Count() const { return FItems.size(); }

private:
  friend class TOscObserverLink<TObserver>;

  bool Remove(TLink* L) {
    if (!OscObserverDetail::EraseFirst(FItems, L))
      return false;
    OscObserverDetail::EraseFirst(L->FRegistries, this);
    return true;
  }

  std::vector<TLink*> FItems;
};

// The model's observers: one change callback with the sender and the set of
// changed properties, and the free notification of the subject.
template <class TSender>
class TOscObserverBase : public TOscObserverLink<TOscObserverBase<TSender>> {
public:
  using TOnChange = std::function<void(TSender* Sender, TOscDeviceProperties Changes)>;
  using TOnFree = std::function<void(TSender* Sender)>;

  TOscObserverBase() = default;
  explicit TOscObserverBase(TOnChange OnChange) : FOnChange(std::move(OnChange)) {}

  const TOnChange& OnChange() const { return FOnChange; }
  void SetOnChange(TOnChange Value) { FOnChange = std::move(Value); }
  // Called when the subject starts to be destroyed, while it is still whole
  // and after the registration is gone, so that whoever holds a link to the
  // subject can drop it.
  const TOnFree& OnFree() const { return FOnFree; }
  void SetOnFree(TOnFree Value) { FOnFree = std::move(Value); }

private:
  TOnChange FOnChange;
  TOnFree FOnFree;
};

// The subject's side as every subject of the program keeps it, with one rule
// for the edges: a null observer raises EOscInvalidArgumentError "Argument
// cannot be null" on Register and on Unregister; the same observer may be
// registered twice and is then notified twice; Unregister removes the first
// registration and ignores an observer that is not there.
template <class TObserver> class TOscSubject {
public:
  void Register(TObserver* Observer) { FItems.Register(Checked(Observer)); }
  void Unregister(TObserver* Observer) { FItems.Unregister(Checked(Observer)); }

  // Call(observer) for every registration, in registration order.
  template <class TCall> void Notify(TCall&& Call) { FItems.Notify(std::forward<TCall>(Call)); }
  // The subject's free notification: drops every registration, then calls
  // OnFree(observer) once per observer, in registration order.
  template <class TCall> void Release(TCall&& OnFree) {
    FItems.Release(std::forward<TCall>(OnFree));
  }

  std::size_t Count() const { return FItems.Count(); }

private:
  static TObserver* Checked(TObserver* Observer) {
    if (Observer == nullptr)
      throw EOscInvalidArgumentError(SArgumentNull);
    return Observer;
  }

  TOscObserverRegistry<TObserver> FItems;
};

// Batched change notification: between the outermost Begin and its End the
// subject gathers its changes instead of announcing them; the outermost End
// hands over the gathered set (also an empty one) to be announced once. An
// End without a Begin does nothing.
class TOscUpdateBatch {
public:
  void Begin() {
    if (FDepth++ == 0)
      FChanges = {};
  }

  // True when Changes must wait for the end of the batch; they are then kept.
  bool Gather(TOscDeviceProperties Changes) {
    if (FDepth == 0)
      return false;
    FChanges += Changes;
    return true;
  }

  // True when this closes the outermost batch; Changes is then the set to
  // announce.
  bool End(TOscDeviceProperties& Changes) {
    if (FDepth == 0 || --FDepth != 0)
      return false;
    Changes = FChanges;
    FChanges = {};
    return true;
  }

  bool Active() const { return FDepth != 0; }

private:
  int FDepth = 0;
  TOscDeviceProperties FChanges;
};

template <class TSender> class TOscObserverList {
public:
  using TObserver = TOscObserverBase<TSender>;

  void Register(TObserver* Observer) { FItems.Register(Observer); }
  void Unregister(TObserver* Observer) { FItems.Unregister(Observer); }

  void Notify(TSender* Sender, TOscDeviceProperties Changes) {
    FItems.Notify([&](TObserver& O) {
      if (O.OnChange())
        O.OnChange()(Sender, Changes);
    });
  }

  void NotifyFree(TSender* Sender) {
    FItems.Release([&](TObserver& O) {
      if (O.OnFree())
        O.OnFree()(Sender);
    });
  }

  std::size_t Count() const { return FItems.Count(); }

private:
  TOscSubject<TObserver> FItems;
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
