#include "DispatchCaller.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace vortrel::com {

namespace {

std::string Hex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

// The value kept for one parameter during a call: the VARIANT that travels, and for an
// output the storage it refers to.
struct Slot {
    VARTYPE type = VT_EMPTY;
    bool out = false;
    bool retval = false;
    VARIANT value;  // an input, or the storage an output's reference points at
    Slot() { VariantInit(&value); }
    ~Slot() { VariantClear(&value); }
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
};

// Releases a FUNCDESC when it goes.
struct FuncDescHolder {
    ITypeInfo* info;
    FUNCDESC* desc;
    ~FuncDescHolder() { info->ReleaseFuncDesc(desc); }
};

VARIANT InputOf(VARTYPE type, const ControlValue& value) {
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = type;
    switch (type) {
        case VT_I4:
        case VT_INT:
            V_I4(&variant) = std::get<int32_t>(value);
            break;
        case VT_UI4:
        case VT_UINT:
            V_UI4(&variant) = std::get<uint32_t>(value);
            break;
        case VT_R4:
            V_R4(&variant) = std::get<float>(value);
            break;
        case VT_BOOL:
            V_BOOL(&variant) = std::get<int16_t>(value);
            break;
        case VT_BSTR: {
            const OutString& text = std::get<OutString>(value);
            V_BSTR(&variant) =
                text ? SysAllocStringLen(text->data(), static_cast<UINT>(text->size())) : nullptr;
            break;
        }
        default:
            throw std::runtime_error("a parameter of a type the scripts do not use");
    }
    return variant;
}

ControlValue OutputOf(ValueType type, const VARIANT& variant) {
    switch (type) {
        case ValueType::Int:
        case ValueType::Font:
            return static_cast<int32_t>(V_I4(&variant));
        case ValueType::UInt:
            return static_cast<uint32_t>(V_UI4(&variant));
        case ValueType::Float:
            return V_R4(&variant);
        case ValueType::Bool:
            return static_cast<int16_t>(V_BOOL(&variant));  // as it came, not just 0 or -1
        case ValueType::String: {
            const BSTR text = V_BSTR(&variant);
            if (text == nullptr) {
                return OutString();
            }
            return OutString(std::wstring(text, SysStringLen(text)));
        }
    }
    return int32_t{0};
}

INVOKEKIND KindOf(MemberKind kind) {
    switch (kind) {
        case MemberKind::PropertyGet:
            return INVOKE_PROPERTYGET;
        case MemberKind::PropertyPut:
            return INVOKE_PROPERTYPUT;
        default:
            return INVOKE_FUNC;
    }
}

}  // namespace

DispatchCaller::DispatchCaller(IDispatch* control) : control_(control) {
    control_->AddRef();
    ITypeInfo* dispatch = nullptr;
    HREFTYPE vtable = 0;
    HRESULT result = control_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &dispatch);
    // The dispatch description of a dual interface refers to its vtable description.
    if (SUCCEEDED(result)) {
        result = dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable);
        if (SUCCEEDED(result)) {
            result = dispatch->GetRefTypeInfo(vtable, &interface_);
        }
        dispatch->Release();
    }
    if (FAILED(result)) {
        control_->Release();
        throw std::runtime_error("the control describes no dual interface: " + Hex(result));
    }
}

DispatchCaller::~DispatchCaller() {
    interface_->Release();
    control_->Release();
}

void DispatchCaller::Call(const ControlMember& member, const std::vector<ControlValue>& ins,
                          std::vector<ControlValue>& outs) {
    const std::wstring wide(member.name, member.name + std::char_traits<char>::length(member.name));
    LPOLESTR name = const_cast<LPOLESTR>(wide.c_str());
    DISPID id = DISPID_UNKNOWN;
    HRESULT result = control_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) {
        throw std::runtime_error(std::string("GetIDsOfNames of ") + member.name +
                                 " failed: " + Hex(result));
    }
    // The member's parameters as the type library declares them.
    UINT index = 0;
    FUNCDESC* desc = nullptr;
    for (;; ++index) {
        if (FAILED(interface_->GetFuncDesc(index, &desc))) {
            throw std::runtime_error(std::string("the type library does not describe ") +
                                     member.name);
        }
        if (desc->memid == id && desc->invkind == KindOf(member.kind)) {
            break;
        }
        interface_->ReleaseFuncDesc(desc);
    }
    const FuncDescHolder holder{interface_, desc};

    const auto count = static_cast<size_t>(desc->cParams);
    std::unique_ptr<Slot[]> slots(new Slot[count]);
    size_t nextIn = 0;
    std::vector<VARIANTARG> arguments;  // declared order; Invoke takes them reversed
    VARIANT returned;
    VariantInit(&returned);
    for (size_t i = 0; i < count; ++i) {
        const ELEMDESC& element = desc->lprgelemdescParam[i];
        const USHORT flags = element.paramdesc.wParamFlags;
        Slot& slot = slots[i];
        slot.out = (flags & PARAMFLAG_FOUT) != 0;
        slot.retval = (flags & PARAMFLAG_FRETVAL) != 0;
        const TYPEDESC& type = element.tdesc;
        slot.type = type.vt == VT_PTR ? type.lptdesc->vt : type.vt;
        if (!slot.out) {
            if (nextIn >= ins.size()) {
                throw std::runtime_error(std::string("too few inputs for ") + member.name);
            }
            slot.value = InputOf(slot.type, ins[nextIn++]);
            arguments.push_back(slot.value);
            continue;
        }
        if (slot.retval) {
            V_VT(&slot.value) = slot.type;
            continue;
        }
        // A reference to an int travels as one to a 32-bit integer, as hosts' Long does
        // (Wine's Invoke takes nothing else).
        if (slot.type == VT_INT) {
            slot.type = VT_I4;
        } else if (slot.type == VT_UINT) {
            slot.type = VT_UI4;
        }
        V_VT(&slot.value) = slot.type;
        VARIANTARG reference;
        VariantInit(&reference);
        V_VT(&reference) = static_cast<VARTYPE>(slot.type | VT_BYREF);
        V_BYREF(&reference) = &slot.value.lVal;  // every union member starts there
        arguments.push_back(reference);
    }
    std::vector<VARIANTARG> reversed(arguments.rbegin(), arguments.rend());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters = {reversed.empty() ? nullptr : reversed.data(), nullptr,
                             static_cast<UINT>(reversed.size()), 0};
    WORD flags = DISPATCH_METHOD;
    if (member.kind == MemberKind::PropertyPut) {
        flags = DISPATCH_PROPERTYPUT;
        parameters.rgdispidNamedArgs = &named;
        parameters.cNamedArgs = 1;
    } else if (member.kind == MemberKind::PropertyGet) {
        flags = DISPATCH_PROPERTYGET;
    }
    EXCEPINFO exception = {};
    UINT argumentError = 0;
    result = control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, &returned,
                              &exception, &argumentError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (FAILED(result)) {
        VariantClear(&returned);
        throw std::runtime_error(std::string("Invoke of ") + member.name +
                                 " failed: " + Hex(result));
    }

    outs.clear();
    size_t nextOut = 0;
    for (size_t i = 0; i < count && nextOut < member.outs.size(); ++i) {
        if (!slots[i].out) {
            continue;
        }
        if (slots[i].retval) {
            // The return value comes back as Invoke converted it; read it as declared.
            VARIANT converted;
            VariantInit(&converted);
            if (FAILED(VariantChangeType(&converted, &returned, 0, slots[i].type))) {
                VariantClear(&returned);
                throw std::runtime_error(std::string("the result of ") + member.name +
                                         " has an unexpected type");
            }
            outs.push_back(OutputOf(member.outs[nextOut++], converted));
            VariantClear(&converted);
        } else {
            outs.push_back(OutputOf(member.outs[nextOut++], slots[i].value));
        }
    }
    VariantClear(&returned);
}

}  // namespace vortrel::com
