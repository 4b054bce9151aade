#pragma once

#include "PadLog.h"

#include <windows.h>

#include <string>
#include <utility>

// A COM object of the stand-in: its reference count, with a line in the log
// at every AddRef and Release, and the answer to a method it does not implement.
template <typename Interface>
class PadCounted : public Interface {
public:
    explicit PadCounted(std::string name) : name_(std::move(name)) {}
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        const LONG count = InterlockedIncrement(&references_);
        PadLog("%s AddRef -> %ld", name_.c_str(), count);
        return static_cast<ULONG>(count);
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        PadLog("%s Release -> %ld", name_.c_str(), left);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    virtual ~PadCounted() = default;

    HRESULT NotImplemented(const char* method)
    {
        PadLog("%s %s -> E_NOTIMPL", name_.c_str(), method);
        return E_NOTIMPL;
    }

    // QueryInterface of an object with no interface but IUnknown and its own.
    HRESULT QueryOwn(REFIID iid, REFIID own, void** object)
    {
        const bool known = IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, own);
        if (object) *object = known ? static_cast<Interface*>(this) : nullptr;
        if (known) AddRef();
        return Done("QueryInterface", known ? S_OK : E_NOINTERFACE);
    }

    // The method's line in the log with its result, which it returns.
    HRESULT Done(const char* method, HRESULT result)
    {
        PadLog("%s %s -> %s", name_.c_str(), method, ResultText(result));
        return result;
    }

    const std::string name_;

private:
    LONG references_ = 1;
};

// A method of the interface that the stand-in does not implement.
#define PADSIM_NOT_IMPLEMENTED(method, ...) \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return NotImplemented(#method); }
