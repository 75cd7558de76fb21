// JPEG and PNG for JUCE's image formats on Windows, through the Windows Imaging
// Component that every Windows system has: Debian's JUCE comes without its
// bundled libjpeg and libpng, and MinGW has neither. Compiled inside the
// juce_graphics unit in their place (see CMakeLists.txt), so that the
// editor's artwork decodes through the same JUCE calls as on Linux.

#include <wincodec.h>

namespace juce
{
namespace WicImageHelpers
{
/** COM for the calling thread while an image decodes, unless the thread
    already has it in another mode (then it is used as it is).
*/
struct ComScope
{
    ComScope()
        : result (CoInitializeEx (nullptr, COINIT_APARTMENTTHREADED))
    {
    }
    ~ComScope()
    {
        if (SUCCEEDED (result))
            CoUninitialize();
    }

    const HRESULT result;
};

/** Decodes any image WIC knows into a JUCE ARGB image; null on failure. */
static Image decode (InputStream& input)
{
    MemoryBlock data;
    input.readIntoMemoryBlock (data);

    if (data.isEmpty())
        return {};

    const ComScope com;
    ComSmartPtr<IWICImagingFactory> factory;

    if (FAILED (CoCreateInstance (CLSID_WICImagingFactory,
                                  nullptr,
                                  CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS (factory.resetAndGetPointerAddress()))))
        return {};

    ComSmartPtr<IWICStream> stream;
    ComSmartPtr<IWICBitmapDecoder> decoder;
    ComSmartPtr<IWICBitmapFrameDecode> frame;
    ComSmartPtr<IWICFormatConverter> converter;

    if (FAILED (factory->CreateStream (stream.resetAndGetPointerAddress())) ||
        FAILED (
            stream->InitializeFromMemory (static_cast<BYTE*> (data.getData()), static_cast<DWORD> (data.getSize()))) ||
        FAILED (factory->CreateDecoderFromStream (
            stream, nullptr, WICDecodeMetadataCacheOnDemand, decoder.resetAndGetPointerAddress())) ||
        FAILED (decoder->GetFrame (0, frame.resetAndGetPointerAddress())) ||
        FAILED (factory->CreateFormatConverter (converter.resetAndGetPointerAddress())) ||
        FAILED (converter->Initialize (
            frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return {};

    UINT width = 0, height = 0;

    if (FAILED (converter->GetSize (&width, &height)) || width == 0 || height == 0)
        return {};

    Image image (Image::ARGB, static_cast<int> (width), static_cast<int> (height), false);
    const Image::BitmapData pixels (image, Image::BitmapData::writeOnly);

    if (FAILED (converter->CopyPixels (nullptr,
                                       static_cast<UINT> (pixels.lineStride),
                                       static_cast<UINT> (pixels.lineStride * pixels.height),
                                       pixels.data)))
        return {};

    return image;
}

/** True if the stream starts with the given bytes. */
static bool startsWith (InputStream& input, std::initializer_list<uint8> signature)
{
    for (const auto expected : signature)
        if (input.isExhausted() || static_cast<uint8> (input.readByte()) != expected)
            return false;

    return true;
}
} // namespace WicImageHelpers

//==============================================================================
PNGImageFormat::PNGImageFormat() {}
PNGImageFormat::~PNGImageFormat() {}

String PNGImageFormat::getFormatName()
{
    return "PNG";
}
bool PNGImageFormat::usesFileExtension (const File& f)
{
    return f.hasFileExtension ("png");
}
bool PNGImageFormat::canUnderstand (InputStream& in)
{
    return WicImageHelpers::startsWith (in, { 0x89, 'P', 'N', 'G' });
}
Image PNGImageFormat::decodeImage (InputStream& in)
{
    return WicImageHelpers::decode (in);
}

// Writing images is not something the plug-in does on Windows.
bool PNGImageFormat::writeImageToStream (const Image&, OutputStream&)
{
    return false;
}

//==============================================================================
JPEGImageFormat::JPEGImageFormat()
    : quality (-1.0f)
{
}
JPEGImageFormat::~JPEGImageFormat() {}

void JPEGImageFormat::setQuality (float newQuality)
{
    quality = newQuality;
}
String JPEGImageFormat::getFormatName()
{
    return "JPEG";
}
bool JPEGImageFormat::usesFileExtension (const File& f)
{
    return f.hasFileExtension ("jpeg;jpg");
}
bool JPEGImageFormat::canUnderstand (InputStream& in)
{
    return WicImageHelpers::startsWith (in, { 0xff, 0xd8, 0xff });
}
Image JPEGImageFormat::decodeImage (InputStream& in)
{
    return WicImageHelpers::decode (in);
}
bool JPEGImageFormat::writeImageToStream (const Image&, OutputStream&)
{
    return false;
}

} // namespace juce
