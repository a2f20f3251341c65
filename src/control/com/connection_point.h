// One outgoing interface of an object and the sinks connected to it. It lives inside its
// container and counts references with it.
#pragma once

#include <vector>

#include "control/com/com.h"

namespace pv::control {

class ConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer* container, REFIID iid);
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  IConnectionPoint* iface() { return &point_.iface; }
  bool Serves(REFIID iid) const { return IsEqualIID(iid, iid_) != FALSE; }
  // Connected sinks, as the interface they were connected for; a disconnected cookie is null.
  const std::vector<IUnknown*>& sinks() const { return sinks_; }

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
  std::vector<IUnknown*> sinks_;  // cookie = index + 1
};

}  // namespace pv::control
