# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The Windows installer and the portable zip of the exe that `make windows`
# builds (they never build it themselves), and their test under Wine:
#
#   make msi              build-win/kobaltfa-<version>-x64.msi
#   make zip              build-win/kobaltfa-<version>-x64-portable.zip
#   make msi zip SIGN_CERT=cert.pem SIGN_KEY=key.pem [SIGN_FLAGS=...]
#                         the same, the exe and the MSI signed (osslsigncode)
#   make test-installer   tests/windows/test_installer.sh
#
# WIN_EXE, WIN_ICON, MSI_VERSION and INSTALLER_OUT (where the two files
# land) may be given on the command line.

WIN_DIR       ?= build-win
WIN_EXE       ?= $(WIN_DIR)/kobaltfa.exe
WIN_ICON      ?= windows/kobaltfa.ico
WIN_LICENCE   ?= $(firstword $(wildcard LICENSES/GPL-3.0-or-later.txt) /usr/share/common-licenses/GPL-3)
INSTALLER_OUT ?= $(WIN_DIR)
SIGN_CERT     ?=
SIGN_KEY      ?=
SIGN_FLAGS    ?=

# The one version of the project is debian/changelog's (the metainfo and
# CMake follow it; the test checks that they agree). Windows Installer
# compares three numbers: 1.0 is 1.0.0, 1:2.3-1 is 2.3.0.
MSI_VERSION ?= $(shell sed -n '1s/^[^(]*(\([^)]*\)).*/\1/p' debian/changelog \
	| sed 's/^[0-9]*://' | grep -o '^[0-9][0-9.]*' | awk -F. '{printf "%d.%d.%d", $$1, $$2, $$3}')

# One product code per version, derived from the upgrade code: a rebuild of
# the same version is the same product (Windows says it is installed
# already) instead of a second copy beside the first.
WIN_UPGRADE_CODE = $(shell sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' windows/kobaltfa.wxs)
WIN_PRODUCT_CODE = $(shell python3 -c 'import sys, uuid; \
	print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' $(WIN_UPGRADE_CODE) $(MSI_VERSION))

MSI       = $(INSTALLER_OUT)/kobaltfa-$(MSI_VERSION)-x64.msi
ZIP       = $(INSTALLER_OUT)/kobaltfa-$(MSI_VERSION)-x64-portable.zip
WIN_STAGE = $(INSTALLER_OUT)/installer-stage

INSTALLER_DEBS      := wixl msitools zip osslsigncode python3
INSTALLER_TEST_DEBS := wine wine64 xvfb xauth xdotool imagemagick openssl unzip \
                       gcc-mingw-w64-x86-64-posix

.PHONY: msi zip test-installer installer-deps installer-stage

ifneq ($(SIGN_CERT)$(SIGN_KEY),)
ifeq ($(and $(SIGN_CERT),$(SIGN_KEY)),)
$(error signing needs both SIGN_CERT and SIGN_KEY)
endif
endif

# Signs file $(1) in place when a certificate is given.
win_sign = $(if $(SIGN_CERT),osslsigncode sign -certs '$(SIGN_CERT)' -key '$(SIGN_KEY)' \
	-n Kobaltfa -h sha256 $(SIGN_FLAGS) -in '$(1)' -out '$(1).signed' >/dev/null \
	&& mv -f '$(1).signed' '$(1)' && echo "signed $(1)",:)

# Text for Windows: CRLF line ends; the README without its licence tags
# (the lines up to its first blank one).
win_text = sed 's/\r$$//; s/$$/\r/'

installer-deps:
	$(call install_missing,$(INSTALLER_DEBS))

# What both packages hold, in one folder: the exe (signed when asked), the
# README and the licence; and the installed-copy marker, for the MSI only.
installer-stage: installer-deps
	@test -f '$(WIN_EXE)' || { echo "No $(WIN_EXE): build it first (make windows), or give WIN_EXE=..."; exit 1; }
	@test -n '$(MSI_VERSION)' || { echo "No version found in debian/changelog"; exit 1; }
	@rm -rf '$(WIN_STAGE)' && mkdir -p '$(WIN_STAGE)'
	@cp '$(WIN_EXE)' '$(WIN_STAGE)/kobaltfa.exe'
	@$(call win_sign,$(WIN_STAGE)/kobaltfa.exe)
	@awk 'NR == 1, /^$$/ { next } { print }' windows/README.txt | $(win_text) >'$(WIN_STAGE)/README.txt'
	@$(win_text) '$(WIN_LICENCE)' >'$(WIN_STAGE)/LICENSE.txt'
	@printf 'Kobaltfa: an installed copy; settings in %%APPDATA%%\\Kobaltfa\\kobaltfa.ini\r\n' \
	  >'$(WIN_STAGE)/kobaltfa.installed'
	@printf '\r\n\r\n1250\t_ForceCodepage\r\n' >'$(WIN_STAGE)/_ForceCodepage.idt'

# wixl finds its sources by relative names only, so it runs in the stage.
# wixl and msibuild read and write the tables' strings in the code page
# that libgsf takes from WINDOWS_LANGUAGE; msibuild then stamps it on the
# database, so that Windows shows the accents right whatever its language.
msi: installer-stage
	@test -f '$(WIN_ICON)' || { echo "No $(WIN_ICON): the program's Windows icon is missing"; exit 1; }
	@rm -f '$(MSI)' && cp '$(WIN_ICON)' '$(WIN_STAGE)/kobaltfa.ico'
	cd '$(WIN_STAGE)' && WINDOWS_LANGUAGE=hu wixl -a x64 -o '$(abspath $(MSI)).tmp' \
	  -D Version=$(MSI_VERSION) -D ProductCode=$(WIN_PRODUCT_CODE) -D Exe=kobaltfa.exe \
	  -D Marker=kobaltfa.installed -D Readme=README.txt -D Licence=LICENSE.txt -D Icon=kobaltfa.ico \
	  '$(abspath windows/kobaltfa.wxs)'
	@cd '$(WIN_STAGE)' && WINDOWS_LANGUAGE=hu msibuild '$(abspath $(MSI)).tmp' -i _ForceCodepage.idt
	@$(call win_sign,$(MSI).tmp)
	@mv -f '$(MSI).tmp' '$(MSI)' && echo "$(MSI)"

# The portable copy: no marker, so it keeps its settings beside the exe.
zip: installer-stage
	@rm -rf '$(ZIP)' '$(WIN_STAGE)/zip' && mkdir -p '$(WIN_STAGE)/zip/Kobaltfa'
	@cp '$(WIN_STAGE)/kobaltfa.exe' '$(WIN_STAGE)/README.txt' '$(WIN_STAGE)/LICENSE.txt' \
	  '$(WIN_STAGE)/zip/Kobaltfa/'
	@cd '$(WIN_STAGE)/zip' && zip -q -X -r '$(abspath $(ZIP))' Kobaltfa
	@echo "$(ZIP)"

# The MSI and the zip of $(WIN_EXE) (or of a stand-in exe while there is
# none) read back, signed, installed, used, upgraded and removed under Wine.
test-installer: installer-deps
	$(call install_missing,$(INSTALLER_TEST_DEBS))
	WIN_EXE='$(WIN_EXE)' WIN_ICON='$(WIN_ICON)' bash tests/windows/test_installer.sh
