#!/bin/sh
echo one
echo two
