#include "fake_device.h"

#include <cstring>

namespace vykcn::test {
namespace {

bool IsBlockCompressed(DXGI_FORMAT format) {
  return format >= DXGI_FORMAT_BC1_TYPELESS && format <= DXGI_FORMAT_BC5_SNORM;
}

}  // namespace

FakeTexture::FakeTexture(const D3D11_TEXTURE2D_DESC& desc, const D3D11_SUBRESOURCE_DATA* initialData)
    : desc_(desc) {
  if (initialData == nullptr || initialData->pSysMem == nullptr) return;
  const UINT rows = IsBlockCompressed(desc.Format) ? (desc.Height + 3) / 4 : desc.Height;
  const auto* bytes = static_cast<const uint8_t*>(initialData->pSysMem);
  firstLevel_.assign(bytes, bytes + size_t{initialData->SysMemPitch} * rows);
}

HRESULT FakeTexture::QueryInterface(REFIID riid, void** object) {
  if (riid == __uuidof(IUnknown) || riid == __uuidof(ID3D11Texture2D) || riid == __uuidof(ID3D11Resource)) {
    AddRef();
    *object = this;
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG FakeTexture::AddRef() { return static_cast<ULONG>(++references_); }

ULONG FakeTexture::Release() {
  if (references_ == 0) {
    ++overReleases_;
    return 0;
  }
  return static_cast<ULONG>(--references_);
}

void FakeTexture::GetDevice(ID3D11Device** device) { *device = nullptr; }
HRESULT FakeTexture::GetPrivateData(REFGUID, UINT*, void*) { return E_NOTIMPL; }
HRESULT FakeTexture::SetPrivateData(REFGUID, UINT, const void*) { return E_NOTIMPL; }
HRESULT FakeTexture::SetPrivateDataInterface(REFGUID, const IUnknown*) { return E_NOTIMPL; }
void FakeTexture::GetType(D3D11_RESOURCE_DIMENSION* dimension) { *dimension = D3D11_RESOURCE_DIMENSION_TEXTURE2D; }
void FakeTexture::SetEvictionPriority(UINT) {}
UINT FakeTexture::GetEvictionPriority() { return 0; }

void FakeTexture::GetDesc(D3D11_TEXTURE2D_DESC* desc) {
  ++getDescCalls_;
  *desc = desc_;
}

FakeTexture* FakeDevice::Find(ID3D11Texture2D* texture) const {
  for (const auto& made : textures_) {
    if (made.get() == texture) return made.get();
  }
  return nullptr;
}

HRESULT FakeDevice::MakeTexture(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                                ID3D11Texture2D** texture) {
  ++createTextureCalls_;
  lastCaller_ = this;
  if (desc == nullptr) return E_INVALIDARG;
  if (forcedResult != S_OK) {
    if (textureWithForcedResult && texture != nullptr) {
      textures_.push_back(std::make_unique<FakeTexture>(*desc, initialData));
      *texture = textures_.back().get();
    }
    return forcedResult;
  }
  if (texture == nullptr) return answerWithoutOutPointer;
  textures_.push_back(std::make_unique<FakeTexture>(*desc, initialData));
  *texture = textures_.back().get();
  return S_OK;
}

HRESULT FakeDevice::CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                                    ID3D11Texture2D** texture) {
  return MakeTexture(desc, initialData, texture);
}

HRESULT OtherFakeDevice::CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                                         ID3D11Texture2D** texture) {
  ++otherCreateTextureCalls;
  return MakeTexture(desc, initialData, texture);
}

HRESULT FakeDevice::QueryInterface(REFIID riid, void** object) {
  if (riid == __uuidof(IUnknown) || riid == __uuidof(ID3D11Device)) {
    AddRef();
    *object = this;
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG FakeDevice::AddRef() { return static_cast<ULONG>(++references_); }
ULONG FakeDevice::Release() { return static_cast<ULONG>(references_ > 0 ? --references_ : 0); }

// Everything else exists so that the table is complete; none of it is used by the module.
HRESULT FakeDevice::CreateBuffer(const D3D11_BUFFER_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Buffer**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateTexture1D(const D3D11_TEXTURE1D_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Texture1D**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateTexture3D(const D3D11_TEXTURE3D_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Texture3D**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateShaderResourceView(ID3D11Resource*, const D3D11_SHADER_RESOURCE_VIEW_DESC*, ID3D11ShaderResourceView**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateUnorderedAccessView(ID3D11Resource*, const D3D11_UNORDERED_ACCESS_VIEW_DESC*, ID3D11UnorderedAccessView**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateRenderTargetView(ID3D11Resource*, const D3D11_RENDER_TARGET_VIEW_DESC*, ID3D11RenderTargetView**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateDepthStencilView(ID3D11Resource*, const D3D11_DEPTH_STENCIL_VIEW_DESC*, ID3D11DepthStencilView**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC*, UINT, const void*, SIZE_T, ID3D11InputLayout**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateVertexShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11VertexShader**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateGeometryShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11GeometryShader**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateGeometryShaderWithStreamOutput(const void*, SIZE_T, const D3D11_SO_DECLARATION_ENTRY*, UINT, const UINT*,
                                                         UINT, UINT, ID3D11ClassLinkage*, ID3D11GeometryShader**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreatePixelShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11PixelShader**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateHullShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11HullShader**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateDomainShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11DomainShader**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateComputeShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11ComputeShader**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateClassLinkage(ID3D11ClassLinkage**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateBlendState(const D3D11_BLEND_DESC*, ID3D11BlendState**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC*, ID3D11DepthStencilState**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateRasterizerState(const D3D11_RASTERIZER_DESC*, ID3D11RasterizerState**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateSamplerState(const D3D11_SAMPLER_DESC*, ID3D11SamplerState**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateQuery(const D3D11_QUERY_DESC*, ID3D11Query**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreatePredicate(const D3D11_QUERY_DESC*, ID3D11Predicate**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateCounter(const D3D11_COUNTER_DESC*, ID3D11Counter**) { return E_NOTIMPL; }
HRESULT FakeDevice::CreateDeferredContext(UINT, ID3D11DeviceContext**) { return E_NOTIMPL; }
HRESULT FakeDevice::OpenSharedResource(HANDLE, REFIID, void**) { return E_NOTIMPL; }
HRESULT FakeDevice::CheckFormatSupport(DXGI_FORMAT, UINT*) { return E_NOTIMPL; }
HRESULT FakeDevice::CheckMultisampleQualityLevels(DXGI_FORMAT, UINT, UINT*) { return E_NOTIMPL; }
void FakeDevice::CheckCounterInfo(D3D11_COUNTER_INFO*) {}
HRESULT FakeDevice::CheckCounter(const D3D11_COUNTER_DESC*, D3D11_COUNTER_TYPE*, UINT*, LPSTR, UINT*, LPSTR, UINT*, LPSTR,
                                 UINT*) { return E_NOTIMPL; }
HRESULT FakeDevice::CheckFeatureSupport(D3D11_FEATURE, void*, UINT) { return E_NOTIMPL; }
HRESULT FakeDevice::GetPrivateData(REFGUID, UINT*, void*) { return E_NOTIMPL; }
HRESULT FakeDevice::SetPrivateData(REFGUID, UINT, const void*) { return E_NOTIMPL; }
HRESULT FakeDevice::SetPrivateDataInterface(REFGUID, const IUnknown*) { return E_NOTIMPL; }
D3D_FEATURE_LEVEL FakeDevice::GetFeatureLevel() { return D3D_FEATURE_LEVEL_11_0; }
UINT FakeDevice::GetCreationFlags() { return 0; }
HRESULT FakeDevice::GetDeviceRemovedReason() { return S_OK; }
void FakeDevice::GetImmediateContext(ID3D11DeviceContext** context) { *context = nullptr; }
HRESULT FakeDevice::SetExceptionMode(UINT) { return E_NOTIMPL; }
UINT FakeDevice::GetExceptionMode() { return 0; }

}  // namespace vykcn::test
