#pragma once
// A Direct3D 11 device of our own, with the full ID3D11Device interface table, for what a real
// device cannot be made to do on demand: scripted CreateTexture2D results, counted texture
// references and GetDesc calls. Only CreateTexture2D and the IUnknown methods do real work.
#include <windows.h>
#include <d3d11.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace vykcn::test {

class FakeTexture final : public ID3D11Texture2D {
 public:
  FakeTexture(const D3D11_TEXTURE2D_DESC& desc, const D3D11_SUBRESOURCE_DATA* initialData);

  int references() const { return references_; }
  int getDescCalls() const { return getDescCalls_; }
  int overReleases() const { return overReleases_; }
  const D3D11_TEXTURE2D_DESC& desc() const { return desc_; }
  // Bytes of the first level's initial data (BC3 or 4-byte texels), empty when none was given.
  const std::vector<uint8_t>& firstLevel() const { return firstLevel_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  void STDMETHODCALLTYPE GetDevice(ID3D11Device** device) override;
  HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID, UINT*, void*) override;
  HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, UINT, const void*) override;
  HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID, const IUnknown*) override;
  void STDMETHODCALLTYPE GetType(D3D11_RESOURCE_DIMENSION* dimension) override;
  void STDMETHODCALLTYPE SetEvictionPriority(UINT) override;
  UINT STDMETHODCALLTYPE GetEvictionPriority() override;
  void STDMETHODCALLTYPE GetDesc(D3D11_TEXTURE2D_DESC* desc) override;

 private:
  D3D11_TEXTURE2D_DESC desc_;
  std::vector<uint8_t> firstLevel_;
  int references_ = 1;
  int getDescCalls_ = 0;
  int overReleases_ = 0;
};

class FakeDevice : public ID3D11Device {
 public:
  // CreateTexture2D answers `forcedResult` instead of S_OK when it is set; with
  // `textureWithForcedResult` it still writes a new texture through the out-pointer.
  HRESULT forcedResult = S_OK;
  bool textureWithForcedResult = false;
  // The answer to valid parameters without a texture out-pointer; Direct3D's is S_FALSE.
  HRESULT answerWithoutOutPointer = S_FALSE;

  int createTextureCalls() const { return createTextureCalls_; }
  ID3D11Device* lastCaller() const { return lastCaller_; }
  // Every texture this device made, alive or not; the device keeps their memory.
  const std::vector<std::unique_ptr<FakeTexture>>& textures() const { return textures_; }
  // The fake behind `texture` when this device made it, or null.
  FakeTexture* Find(ID3D11Texture2D* texture) const;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateBuffer(const D3D11_BUFFER_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Buffer**) override;
  HRESULT STDMETHODCALLTYPE CreateTexture1D(const D3D11_TEXTURE1D_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Texture1D**) override;
  HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                                            ID3D11Texture2D** texture) override;
  HRESULT STDMETHODCALLTYPE CreateTexture3D(const D3D11_TEXTURE3D_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Texture3D**) override;
  HRESULT STDMETHODCALLTYPE CreateShaderResourceView(ID3D11Resource*, const D3D11_SHADER_RESOURCE_VIEW_DESC*, ID3D11ShaderResourceView**) override;
  HRESULT STDMETHODCALLTYPE CreateUnorderedAccessView(ID3D11Resource*, const D3D11_UNORDERED_ACCESS_VIEW_DESC*, ID3D11UnorderedAccessView**) override;
  HRESULT STDMETHODCALLTYPE CreateRenderTargetView(ID3D11Resource*, const D3D11_RENDER_TARGET_VIEW_DESC*, ID3D11RenderTargetView**) override;
  HRESULT STDMETHODCALLTYPE CreateDepthStencilView(ID3D11Resource*, const D3D11_DEPTH_STENCIL_VIEW_DESC*, ID3D11DepthStencilView**) override;
  HRESULT STDMETHODCALLTYPE CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC*, UINT, const void*, SIZE_T, ID3D11InputLayout**) override;
  HRESULT STDMETHODCALLTYPE CreateVertexShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11VertexShader**) override;
  HRESULT STDMETHODCALLTYPE CreateGeometryShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11GeometryShader**) override;
  HRESULT STDMETHODCALLTYPE CreateGeometryShaderWithStreamOutput(const void*, SIZE_T, const D3D11_SO_DECLARATION_ENTRY*, UINT,
                                                                 const UINT*, UINT, UINT, ID3D11ClassLinkage*,
                                                                 ID3D11GeometryShader**) override;
  HRESULT STDMETHODCALLTYPE CreatePixelShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11PixelShader**) override;
  HRESULT STDMETHODCALLTYPE CreateHullShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11HullShader**) override;
  HRESULT STDMETHODCALLTYPE CreateDomainShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11DomainShader**) override;
  HRESULT STDMETHODCALLTYPE CreateComputeShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11ComputeShader**) override;
  HRESULT STDMETHODCALLTYPE CreateClassLinkage(ID3D11ClassLinkage**) override;
  HRESULT STDMETHODCALLTYPE CreateBlendState(const D3D11_BLEND_DESC*, ID3D11BlendState**) override;
  HRESULT STDMETHODCALLTYPE CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC*, ID3D11DepthStencilState**) override;
  HRESULT STDMETHODCALLTYPE CreateRasterizerState(const D3D11_RASTERIZER_DESC*, ID3D11RasterizerState**) override;
  HRESULT STDMETHODCALLTYPE CreateSamplerState(const D3D11_SAMPLER_DESC*, ID3D11SamplerState**) override;
  HRESULT STDMETHODCALLTYPE CreateQuery(const D3D11_QUERY_DESC*, ID3D11Query**) override;
  HRESULT STDMETHODCALLTYPE CreatePredicate(const D3D11_QUERY_DESC*, ID3D11Predicate**) override;
  HRESULT STDMETHODCALLTYPE CreateCounter(const D3D11_COUNTER_DESC*, ID3D11Counter**) override;
  HRESULT STDMETHODCALLTYPE CreateDeferredContext(UINT, ID3D11DeviceContext**) override;
  HRESULT STDMETHODCALLTYPE OpenSharedResource(HANDLE, REFIID, void**) override;
  HRESULT STDMETHODCALLTYPE CheckFormatSupport(DXGI_FORMAT, UINT*) override;
  HRESULT STDMETHODCALLTYPE CheckMultisampleQualityLevels(DXGI_FORMAT, UINT, UINT*) override;
  void STDMETHODCALLTYPE CheckCounterInfo(D3D11_COUNTER_INFO*) override;
  HRESULT STDMETHODCALLTYPE CheckCounter(const D3D11_COUNTER_DESC*, D3D11_COUNTER_TYPE*, UINT*, LPSTR, UINT*, LPSTR, UINT*,
                                         LPSTR, UINT*) override;
  HRESULT STDMETHODCALLTYPE CheckFeatureSupport(D3D11_FEATURE, void*, UINT) override;
  HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID, UINT*, void*) override;
  HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, UINT, const void*) override;
  HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID, const IUnknown*) override;
  D3D_FEATURE_LEVEL STDMETHODCALLTYPE GetFeatureLevel() override;
  UINT STDMETHODCALLTYPE GetCreationFlags() override;
  HRESULT STDMETHODCALLTYPE GetDeviceRemovedReason() override;
  void STDMETHODCALLTYPE GetImmediateContext(ID3D11DeviceContext**) override;
  HRESULT STDMETHODCALLTYPE SetExceptionMode(UINT) override;
  UINT STDMETHODCALLTYPE GetExceptionMode() override;

 protected:
  HRESULT MakeTexture(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                      ID3D11Texture2D** texture);

 private:
  std::vector<std::unique_ptr<FakeTexture>> textures_;
  int createTextureCalls_ = 0;
  ID3D11Device* lastCaller_ = nullptr;
  int references_ = 1;
};

// The same device behind a second interface table: its CreateTexture2D is another function.
class OtherFakeDevice final : public FakeDevice {
 public:
  int otherCreateTextureCalls = 0;
  HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initialData,
                                            ID3D11Texture2D** texture) override;
};

}  // namespace vykcn::test
