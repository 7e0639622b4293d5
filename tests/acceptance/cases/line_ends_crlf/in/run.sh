#!/bin/sh
echo one
