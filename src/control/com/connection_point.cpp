#include "control/com/connection_point.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace pv::control {

const IConnectionPointVtbl ConnectionPoint::kVtbl = {
    QueryInterface, AddRef,   Release,         GetConnectionInterface, GetConnectionPointContainer,
    Advise,         Unadvise, EnumConnections,
};

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, REFIID iid)
    : point_{{&kVtbl}, this}, container_(container), iid_(iid) {}

ConnectionPoint::~ConnectionPoint() {
  for (const Connection& c : connections_) IUnknown_Release(c.sink);
}

HeldSinks ConnectionPoint::Connected() const {
  std::vector<IUnknown*> sinks;
  sinks.reserve(connections_.size());
  for (const Connection& c : connections_) {
    IUnknown_AddRef(c.sink);
    sinks.push_back(c.sink);
  }
  return HeldSinks(std::move(sinks));
}

HRESULT ConnectionPoint::QueryInterface(IConnectionPoint* iface, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IConnectionPoint))
    return E_NOINTERFACE;
  *ppv = iface;
  AddRef(iface);
  return S_OK;
}

ULONG ConnectionPoint::AddRef(IConnectionPoint* iface) {
  return IConnectionPointContainer_AddRef(impl_from<ConnectionPoint>(iface)->container_);
}

ULONG ConnectionPoint::Release(IConnectionPoint* iface) {
  return IConnectionPointContainer_Release(impl_from<ConnectionPoint>(iface)->container_);
}

HRESULT ConnectionPoint::GetConnectionInterface(IConnectionPoint* iface, IID* iid) {
  if (!iid) return E_POINTER;
  *iid = impl_from<ConnectionPoint>(iface)->iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPoint* iface,
                                                     IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = impl_from<ConnectionPoint>(iface)->container_;
  IConnectionPointContainer_AddRef(*container);
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IConnectionPoint* iface, IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ConnectionPoint* self = impl_from<ConnectionPoint>(iface);
  IUnknown* connected = nullptr;
  if (FAILED(IUnknown_QueryInterface(sink, self->iid_, reinterpret_cast<void**>(&connected))))
    return CONNECT_E_CANNOTCONNECT;
  // Cookies are never reused, so a stale one cannot disconnect a later sink.
  if (self->lastCookie_ == UINT32_MAX) {
    IUnknown_Release(connected);
    return CONNECT_E_ADVISELIMIT;
  }
  try {
    self->connections_.push_back({self->lastCookie_ + 1, connected});
  } catch (const std::bad_alloc&) {
    IUnknown_Release(connected);
    return E_OUTOFMEMORY;
  }
  *cookie = ++self->lastCookie_;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(IConnectionPoint* iface, DWORD cookie) {
  ConnectionPoint* self = impl_from<ConnectionPoint>(iface);
  auto& connections = self->connections_;
  const auto found = std::find_if(connections.begin(), connections.end(),
                                  [cookie](const Connection& c) { return c.cookie == cookie; });
  if (found == connections.end()) return CONNECT_E_NOCONNECTION;
  IUnknown* sink = found->sink;
  connections.erase(found);
  IUnknown_Release(sink);  // last: releasing may call back into the connection point
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IConnectionPoint*, IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

}  // namespace pv::control
