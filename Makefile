# Shortcuts for the two scripts the README names.
.PHONY: run test setup contact-sheet
run:
	bash scripts/run.sh
test:
	bash scripts/test.sh
setup:
	bash scripts/setup.sh
contact-sheet:
	bash scripts/contact-sheet.sh
