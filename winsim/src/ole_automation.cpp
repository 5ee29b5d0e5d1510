// OLE Automation's values as a UI Automation provider hands them over:
// BSTR (a length-prefixed string), VARIANT and one-dimensional SAFEARRAY.
#include "internal.h"

#include <stddef.h>
#include <stdlib.h>
#include <string.h>

// ---- BSTR: the byte length in the four bytes before the text, a 0 after ----

BSTR WINAPI SysAllocStringLen(const OLECHAR *text, UINT length)
{
    uint8_t *block = (uint8_t *)calloc(1, sizeof(uint32_t) + (length + 1) * sizeof(OLECHAR));
    if (!block)
        return nullptr;
    *(uint32_t *)block = length * sizeof(OLECHAR);
    BSTR string = (BSTR)(block + sizeof(uint32_t));
    if (text)
        memcpy(string, text, length * sizeof(OLECHAR));
    return string;
}

BSTR WINAPI SysAllocString(const OLECHAR *text)
{
    if (!text)
        return nullptr;
    UINT length = 0;
    while (text[length])
        length++;
    return SysAllocStringLen(text, length);
}

void WINAPI SysFreeString(BSTR text)
{
    if (text)
        free((uint8_t *)text - sizeof(uint32_t));
}

UINT WINAPI SysStringLen(BSTR text)
{
    return text ? *(uint32_t *)((uint8_t *)text - sizeof(uint32_t)) / sizeof(OLECHAR) : 0;
}

// ---- SAFEARRAY: one dimension, of VT_I4, VT_R8, VT_BSTR or VT_UNKNOWN ----

namespace {

#define DISP_E_BADINDEX ((HRESULT)0x8002000B)

// The element type is kept beside the array, as FADF_HAVEVARTYPE does.
struct TypedArray {
    VARTYPE vt;
    SAFEARRAY array;
};

TypedArray *TypedFrom(SAFEARRAY *array)
{
    return (TypedArray *)((uint8_t *)array - offsetof(TypedArray, array));
}

ULONG ElementSize(VARTYPE vt)
{
    switch (vt) {
    case VT_I4: return sizeof(LONG);
    case VT_R8: return sizeof(DOUBLE);
    case VT_BSTR: return sizeof(BSTR);
    case VT_UNKNOWN: return sizeof(IUnknown *);
    }
    return 0;
}

void *ElementAt(SAFEARRAY *array, LONG *indices)
{
    if (!array || !indices)
        return nullptr;
    LONG k = indices[0] - array->rgsabound[0].lLbound;
    if (k < 0 || (ULONG)k >= array->rgsabound[0].cElements)
        return nullptr;
    return (uint8_t *)array->pvData + k * array->cbElements;
}

}  // namespace

SAFEARRAY *WINAPI SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements)
{
    ULONG size = ElementSize(vt);
    if (size == 0)
        return nullptr;
    TypedArray *typed = (TypedArray *)calloc(1, sizeof(TypedArray));
    void *data = calloc(elements ? elements : 1, size);
    if (!typed || !data) {
        free(typed);
        free(data);
        return nullptr;
    }
    typed->vt = vt;
    typed->array.cDims = 1;
    typed->array.cbElements = size;
    typed->array.pvData = data;
    typed->array.rgsabound[0].cElements = elements;
    typed->array.rgsabound[0].lLbound = lowerBound;
    return &typed->array;
}

HRESULT WINAPI SafeArrayPutElement(SAFEARRAY *array, LONG *indices, void *value)
{
    void *slot = ElementAt(array, indices);
    if (!slot)
        return array ? DISP_E_BADINDEX : E_INVALIDARG;
    switch (TypedFrom(array)->vt) {
    case VT_UNKNOWN: {
        IUnknown *element = (IUnknown *)value;
        if (element)
            element->AddRef();
        IUnknown *old = *(IUnknown **)slot;
        *(IUnknown **)slot = element;
        if (old)
            old->Release();
        return S_OK;
    }
    case VT_BSTR: {
        BSTR copy = value ? SysAllocStringLen((BSTR)value, SysStringLen((BSTR)value)) : nullptr;
        if (value && !copy)
            return E_OUTOFMEMORY;
        SysFreeString(*(BSTR *)slot);
        *(BSTR *)slot = copy;
        return S_OK;
    }
    }
    memcpy(slot, value, array->cbElements);
    return S_OK;
}

HRESULT WINAPI SafeArrayGetElement(SAFEARRAY *array, LONG *indices, void *value)
{
    void *slot = ElementAt(array, indices);
    if (!slot)
        return array ? DISP_E_BADINDEX : E_INVALIDARG;
    switch (TypedFrom(array)->vt) {
    case VT_UNKNOWN: {
        IUnknown *element = *(IUnknown **)slot;
        if (element)
            element->AddRef();
        *(IUnknown **)value = element;
        return S_OK;
    }
    case VT_BSTR: {
        BSTR element = *(BSTR *)slot;
        *(BSTR *)value = element ? SysAllocStringLen(element, SysStringLen(element)) : nullptr;
        return S_OK;
    }
    }
    memcpy(value, slot, array->cbElements);
    return S_OK;
}

HRESULT WINAPI SafeArrayGetUBound(SAFEARRAY *array, UINT dimension, LONG *bound)
{
    if (!array || dimension != 1 || !bound)
        return E_INVALIDARG;
    *bound = array->rgsabound[0].lLbound + (LONG)array->rgsabound[0].cElements - 1;
    return S_OK;
}

HRESULT WINAPI SafeArrayDestroy(SAFEARRAY *array)
{
    if (!array)
        return S_OK;
    TypedArray *typed = TypedFrom(array);
    for (ULONG k = 0; k < array->rgsabound[0].cElements; k++) {
        void *slot = (uint8_t *)array->pvData + k * array->cbElements;
        if (typed->vt == VT_UNKNOWN && *(IUnknown **)slot)
            (*(IUnknown **)slot)->Release();
        else if (typed->vt == VT_BSTR)
            SysFreeString(*(BSTR *)slot);
    }
    free(array->pvData);
    free(typed);
    return S_OK;
}

// ---- VARIANT ----

void WINAPI VariantInit(VARIANT *variant)
{
    memset(variant, 0, sizeof *variant);
    variant->vt = VT_EMPTY;
}
