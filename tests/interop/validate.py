#!/usr/bin/env python3
"""Validates JSON messages against a JSON Schema (draft 2020-12) with the
maintained validator (Debian python3-jsonschema): validate.py SCHEMA FILE...,
each FILE holding one message per line. Prints every message that does not
validate, with the reason, and exits 1 if there was one."""
import json
import sys

from jsonschema import Draft202012Validator

with open(sys.argv[1]) as schema_file:
    schema = json.load(schema_file)
Draft202012Validator.check_schema(schema)
validator = Draft202012Validator(schema)
failed = 0
checked = 0
for name in sys.argv[2:]:
    with open(name) as messages:
        for number, line in enumerate(messages, 1):
            if not line.strip():
                continue
            checked += 1
            for error in validator.iter_errors(json.loads(line)):
                failed += 1
                print(f"{name}:{number}: {error.json_path}: {error.message}")
print(f"{checked} messages checked, {failed} errors")
sys.exit(1 if failed or not checked else 0)
