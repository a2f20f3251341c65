// One outgoing interface of an object and the sinks connected to it. It lives inside its
// container and counts references with it.
#pragma once

#include <utility>
#include <vector>

#include "control/com/com.h"

namespace pv::control {

// The sinks of one round of calls, each held until the round ends: what a sink does to the
// connections while it is called does not change whom the round reaches.
class HeldSinks {
 public:
  explicit HeldSinks(std::vector<IUnknown*> sinks) : sinks_(std::move(sinks)) {}
  ~HeldSinks() {
    for (IUnknown* sink : sinks_) IUnknown_Release(sink);
  }
  HeldSinks(const HeldSinks&) = delete;
  HeldSinks& operator=(const HeldSinks&) = delete;
  auto begin() const { return sinks_.begin(); }
  auto end() const { return sinks_.end(); }

 private:
  std::vector<IUnknown*> sinks_;
};

class ConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer* container, REFIID iid);
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  IConnectionPoint* iface() { return &point_.iface; }
  bool Serves(REFIID iid) const { return IsEqualIID(iid, iid_) != FALSE; }
  // The connected sinks in the order they connected, as the interface they were connected for.
  HeldSinks Connected() const;

 private:
  static HRESULT STDMETHODCALLTYPE QueryInterface(IConnectionPoint* iface, REFIID riid, void** ppv);
  static ULONG STDMETHODCALLTYPE AddRef(IConnectionPoint* iface);
  static ULONG STDMETHODCALLTYPE Release(IConnectionPoint* iface);
  static HRESULT STDMETHODCALLTYPE GetConnectionInterface(IConnectionPoint* iface, IID* iid);
  static HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPoint* iface, IConnectionPointContainer** container);
  static HRESULT STDMETHODCALLTYPE Advise(IConnectionPoint* iface, IUnknown* sink, DWORD* cookie);
  static HRESULT STDMETHODCALLTYPE Unadvise(IConnectionPoint* iface, DWORD cookie);
  static HRESULT STDMETHODCALLTYPE EnumConnections(IConnectionPoint* iface,
                                                   IEnumConnections** connections);
  static const IConnectionPointVtbl kVtbl;

  Iface<IConnectionPoint, ConnectionPoint> point_;
  IConnectionPointContainer* container_;
  IID iid_;
  struct Connection {
    DWORD cookie;
    IUnknown* sink;
  };
  std::vector<Connection> connections_;  // in the order of connection
  DWORD lastCookie_ = 0;
};

}  // namespace pv::control
