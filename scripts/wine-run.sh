#!/bin/sh
# Runs a Windows program under Wine for the tests: headless, quiet, in the
# prefix named by WINEPREFIX, and never for more than CORVANE_WINE_TIMEOUT
# seconds (default 120).
unset DISPLAY WAYLAND_DISPLAY
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts
exec timeout -k 10 "${CORVANE_WINE_TIMEOUT:-120}" wine "$@"
