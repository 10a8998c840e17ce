#!/bin/sh
# Each layer library compiles against an include root that shows only its own folder and the
# layers below it. This check includes, from each layer's root, a header of its own layer (which
# must compile) and a header of the layer above (which must not).
# Usage: check-layers.sh CXX INCLUDE_ROOTS_DIR
cxx=$1
roots=$2
status=0

compiles() { # ROOT HEADER
    printf '#include "%s"\n' "$2" | "$cxx" -std=c++17 -fsyntax-only -I "$roots/$1" -x c++ - 2>/dev/null
}

check() { # LAYER OWN_HEADER HEADER_ABOVE
    if ! compiles "$1" "$2"; then
        echo "FAIL: $1 cannot include its own $2"; status=1
    elif compiles "$1" "$3"; then
        echo "FAIL: $1 can include $3, which it must not see"; status=1
    else
        echo "ok: $1 sees $2, not $3"
    fi
}

check brelvik_vst vst/AudioEffectX.h platform/Resources.h
check brelvik_platform platform/Resources.h modules/CK_ModuleBase.h
check brelvik_modules modules/CK_ModuleBase.h dsp/dynamics/CK_DSP_ST_Mix.h
check brelvik_dsp dsp/dynamics/CK_DSP_ST_Mix.h shell/ControlTable.h
if [ -d "$roots/brelvik_gui" ]; then
    # The toolkit knows nothing of the plug-in, and the shell nothing of the toolkit.
    check brelvik_gui gui/CView.h shell/ControlTable.h
    check brelvik_shell shell/ControlTable.h gui/CView.h
fi
if [ -d "$roots/brelvik_editor" ]; then
    # The editor reaches the effect only through the shell's editor interface, never its processing.
    check brelvik_editor editor/CK_GUI_Editor.h dsp/dynamics/CK_DSP_ST_Mix.h
fi
exit $status
