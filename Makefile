# Shortcuts for the two scripts the README names.
.PHONY: run test setup package contact-sheet
run:
	bash scripts/run.sh
test:
	bash scripts/test.sh
setup:
	bash scripts/setup.sh
package:
	bash scripts/package.sh
contact-sheet:
	bash scripts/contact-sheet.sh
