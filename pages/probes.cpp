// Hardware probes behind the Graphic/Audio page: a DirectSound device and
// Direct3D 8 pixel shader support. Each creates, asks and releases at once.
#include "pages/pages.h"

#include "input/directx.h"

int ProbeSoundDevice()
{
    IDirectSound *sound = NULL;
    if (FAILED(DirectSoundCreateEntry(NULL, &sound, NULL)))
        return 0;
    sound->Release();
    return 1;
}

int ProbePixelShader()
{
    IDirect3D8 *d3d = Direct3DCreate8Entry(D3D_SDK_VERSION);
    if (!d3d)
        return 0;
    D3DCAPS8 caps;
    HRESULT hr = d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
    int capable = SUCCEEDED(hr) && caps.PixelShaderVersion >= D3DPS_VERSION(1, 0);
    d3d->Release();
    return capable;
}
