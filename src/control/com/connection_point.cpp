#include "control/com/connection_point.h"

#include <new>

namespace pv::control {

const IConnectionPointVtbl ConnectionPoint::kVtbl = {
    QueryInterface, AddRef,   Release,         GetConnectionInterface, GetConnectionPointContainer,
    Advise,         Unadvise, EnumConnections,
};

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, REFIID iid)
    : point_{{&kVtbl}, this}, container_(container), iid_(iid) {}

ConnectionPoint::~ConnectionPoint() {
  for (IUnknown* sink : sinks_)
    if (sink) IUnknown_Release(sink);
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
  size_t slot = 0;
  while (slot < self->sinks_.size() && self->sinks_[slot]) ++slot;
  if (slot == self->sinks_.size()) {
    try {
      self->sinks_.push_back(nullptr);
    } catch (const std::bad_alloc&) {
      IUnknown_Release(connected);
      return E_OUTOFMEMORY;
    }
  }
  self->sinks_[slot] = connected;
  *cookie = static_cast<DWORD>(slot + 1);
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(IConnectionPoint* iface, DWORD cookie) {
  ConnectionPoint* self = impl_from<ConnectionPoint>(iface);
  if (cookie == 0 || cookie > self->sinks_.size() || !self->sinks_[cookie - 1])
    return CONNECT_E_NOCONNECTION;
  IUnknown_Release(self->sinks_[cookie - 1]);
  self->sinks_[cookie - 1] = nullptr;
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IConnectionPoint*, IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

}  // namespace pv::control
