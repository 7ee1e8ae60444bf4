// DirectSound's result codes and the few identifiers that win32_decls.h does
// not declare, with the SDK's values.
#pragma once

#include <cstring>

#include "platform/platform.h"

const HRESULT DS_OK = 0;
// A success code: the buffer was made, but without the asked-for virtualization.
const HRESULT DS_NO_VIRTUALIZATION = 0x0878000A;

const HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057);
const HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078);
const HRESULT DSERR_ALLOCATED = static_cast<HRESULT>(0x8878000A);
const HRESULT DSERR_GENERIC = static_cast<HRESULT>(0x80004005);
const HRESULT DSERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
const HRESULT DSERR_NOINTERFACE = static_cast<HRESULT>(0x80004002);  // E_NOINTERFACE
const HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032);
const HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064);
const HRESULT DSERR_PRIOLEVELNEEDED = static_cast<HRESULT>(0x88780046);
const HRESULT DSERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001);
const HRESULT DSERR_NOAGGREGATION = static_cast<HRESULT>(0x80040110);

const HRESULT E_NOINTERFACE = DSERR_NOINTERFACE;

const DWORD DSBSIZE_MIN = 4;
const DWORD DSBSIZE_MAX = 0x0FFFFFFF;
const DWORD DSBFREQUENCY_MIN = 100;
const DWORD DSBFREQUENCY_MAX = 200000;

// {DEF00000-9C6D-47ED-AAF1-4DDA8F2B5C03}: another name for the default output.
const GUID DSDEVID_DefaultPlayback = {
    0xDEF00000, 0x9C6D, 0x47ED, {0xAA, 0xF1, 0x4D, 0xDA, 0x8F, 0x2B, 0x5C, 0x03}};
const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
// {00000000-0000-0000-C000-000000000046}
const IID IID_IUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

inline bool SameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

// {279AFA83-4981-11CE-A521-0020AF0BE560}
const IID IID_IDirectSound = {
    0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
// {279AFA85-4981-11CE-A521-0020AF0BE560}
const IID IID_IDirectSoundBuffer = {
    0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

const DWORD DSSCL_NORMAL = 1;
const DWORD DSSCL_EXCLUSIVE = 3;
const DWORD DSSCL_WRITEPRIMARY = 4;
